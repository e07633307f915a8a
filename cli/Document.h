// The document of 'jkn dump --json' that 'jkn load' takes: what the two share.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "Registry.h"

namespace jkn::document {

// "jkn-dump": the format number of the document.
constexpr int kFormat = 1;

// A profile's settings and the fields of its records (takesProfilePath) name
// the profile by its place ("profile", or "root" and "file"), not in the selector.
using trasso::takesProfilePath;

// A section or key name of the document (a text or {"hex": ...}) as a person reads it.
std::string shownName(const nlohmann::json& name);

}  // namespace jkn::document

namespace CLI {
class App;
}

namespace jkn {
// load [--dry-run] [--skip-refused] [--unread-files] [--json] FILE (Load.cpp),
// registered by addDumpCommands.
void addLoadCommand(CLI::App& app);
}  // namespace jkn
