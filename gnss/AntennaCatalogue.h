// The antenna catalogue files and the reading of merged catalogue entries, for
// the current-antenna functions that walk the whole catalogue.
#pragma once

#include <string>

#include "SettingsValues.h"
#include "Api.h"

namespace trasso {

// The delivered files, read from root 1's "inf" folder, and the merged
// catalogue that AntennaInit writes to root 0's.
constexpr const char* kAntennaTypes = "Antenna.ini";
constexpr const char* kAntennaSensors = "AntennaSensor.ini";
constexpr const char* kMergedCatalogue = "AntennaLocal.ini";
constexpr int kAntennaSourceRoot = 1;
constexpr int kMergedCatalogueRoot = 0;

std::string mergedCataloguePath();

// Entry n of a merged catalogue already read: 1 and the entry, or 0 (rec
// untouched) past the last one.
int readAntennaEntry(const SettingsReader& file, int n, QZ_AntennaRec& rec);

}  // namespace trasso
