// Geoid library: recognises geoid grids in the ISG format and reads their header.
#pragma once

#include <cstdio>

// Size of each output text area of GeoFile_IsGeoidFileISGEx, terminator included.
constexpr int kGeoTextSize = 128;

// An ISG file starts (after blank lines) with a line beginning "begin_of_head";
// its header runs to a later line beginning "end_of_head" (both in any case).
// Header lines are "field name : value" or "field name = value". The object
// keeps nothing between calls.
class DatumShiftLib {
 public:
  // Results of the recognition calls.
  enum : int {
    kIsgFile = 0,     // an ISG geoid file
    kNotIsgFile = 1,  // readable, but no ISG header
    kNoFile = -1,     // missing, a folder or not readable
  };

  DatumShiftLib() = default;
  ~DatumShiftLib() = default;
  DatumShiftLib(const DatumShiftLib&) = delete;
  DatumShiftLib& operator=(const DatumShiftLib&) = delete;

  // kIsgFile when the file at path ('\' or '/' between folders) is an ISG file.
  int GeoFile_IsGeoidFileISG(const char* path);

  // The same result. On kIsgFile, each output area that is not null (each holds
  // kGeoTextSize bytes) receives a header value, cut to kGeoTextSize - 1 bytes and
  // empty when the header lacks it: modelName "model name", modelType "model
  // type", version "model version", or "ISG format" when that is missing. Areas
  // are left as they are on any other result.
  int GeoFile_IsGeoidFileISGEx(const char* path, char* modelName, char* modelType, char* version);
};

// GeoFile_IsGeoidFileISGEx of a file open for reading at its start (null:
// kNoFile); the caller closes it. outside/ opens no file itself: the path forms
// above open theirs as the library opens every file (tools/GeoidFile.cpp).
int IsGeoidFileISG(std::FILE* file, char* modelName, char* modelType, char* version);
