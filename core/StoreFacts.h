// What the library knows about its files beyond the registry of settings, for
// tools that look at whole folders (jkn check, dump, load, files) and must see
// them as the getters and setters do: which root each file is read from, where
// the profiles lie, which keys the functions outside the registry read, what
// a write leaves beside a file while it runs, and whether a write could be made.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "Setting.h"
#include "WriteStatus.h"

namespace trasso::facts {

// A caller-named profile: its area and its standard place.
struct ProfilePlace {
  const char* area;  // "ZETR", "PL30", "Soku"
  SettingsFile file;
};
const std::vector<ProfilePlace>& profilePlaces();

// The standard place of a profile area; nullopt-like: null for another area.
const ProfilePlace* profilePlace(std::string_view area);

// The root whose "inf" folder a file of this name is read from: the settings
// file catalogue and the antenna catalogue files. -1 for any other name.
int readingRoot(std::string_view name);

// The files of the antenna catalogue, as the catalogue functions name them:
// the delivered type and sensor files and the merged catalogue.
struct AntennaFiles {
  std::string types, sensors, merged;
};
AntennaFiles antennaFiles();

// A key that an exported function outside the registry reads or writes: a
// record's field, a pair's half, a key whose default the caller gives. Keys of
// a profile are named by its area, not by one file.
struct OtherKey {
  Key key;
  bool numbered;         // the name is a prefix followed by a number
  const char* function;  // the exported name without Get/Put and "QZJkn_"
};
const std::vector<OtherKey>& keysOutsideRegistry();

// A run of such keys, kept by the area file that declares them.
struct OtherKeyPart {
  const OtherKey* keys;
  size_t size;
};

// The entry of the list that reads key of section (names compared as the
// reader compares them; a key chosen by mode or side matches every choice),
// or null.
const OtherKey* findKeyOutsideRegistry(std::string_view section, std::string_view key);
// The same for one settings file (a profile's keys: its standard place).
const OtherKey* findKeyOutsideRegistry(SettingsFile file, std::string_view section,
                                       std::string_view key);

// A section whose every key a catalogue function reads by a pattern of its own
// (the NTRIP caster catalogue's "Co<nn>..." keys), so no key of it is unknown.
struct CatalogueSection {
  SettingsFile file;
  const char* section;
  const char* function;
};
const std::vector<CatalogueSection>& catalogueSections();

// What a write of the file at a native path would meet, found without writing
// or locking anything: Written when it would be tried, else the cause (missing
// folder, a folder in the file's place, a read-only file, ...).
WriteStatus probeWrite(const std::string& native);

}  // namespace trasso::facts
