// The antenna catalogue files and the reading of merged catalogue entries, for
// the current-antenna functions that walk the whole catalogue.
#pragma once

#include <string>

#include "Api.h"
#include "SettingsValues.h"

namespace trasso {

// Entry n of a merged catalogue already read: 1 and the entry, or 0 (rec
// untouched) past the last one.
int readAntennaEntry(const SettingsReader& file, int n, QZ_AntennaRec& rec);

}  // namespace trasso
