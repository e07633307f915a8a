// Commands over whole settings folders and the catalogues, each registered on
// jkn's command line by one call. Each runs from its subcommand's callback and
// ends the program with its exit status.
#pragma once

#include <string>

namespace CLI {
class App;
}

namespace jkn {

// check [--json] [PROFILE...]: where what the application reads differs from
// what a person reads. Exit 0 clean, 1 findings, 2 error.
void addCheckCommand(CLI::App& app);

// dump [--json] [PROFILE...] and load FILE: every stored setting in one
// document, and that document written back through the setters.
void addDumpCommands(CLI::App& app);

// antenna init|list, sensor N, ntrip list, zones FOLDER, station-name,
// geoid-version FILE.
void addCatalogueCommands(CLI::App& app);

// Flushes the output and ends the program with status.
[[noreturn]] void finish(int status);

}  // namespace jkn
