// Commands over whole settings folders and the catalogues, each registered on
// jkn's command line by one call. Each runs from its subcommand's callback and
// ends the program with its exit status.
#pragma once

#include <exception>
#include <iostream>
#include <string>

namespace CLI {
class App;
}

namespace jkn {

// jkn's exit statuses (listed in its --help).
enum Status { kOk = 0, kRefused = 1, kUsage = 2, kFileError = 3 };

// A command's failure: what to print and the status to end with.
struct Failure {
  int status;
  std::string message;
};

// Runs a command, printing a failure or an unexpected error instead of letting
// it escape; returns the exit status.
template <class F>
int guarded(F&& run) {
  try {
    return run();
  } catch (const Failure& f) {
    std::cerr << "jkn: " << f.message << "\n";
    return f.status;
  } catch (const std::exception& e) {
    std::cerr << "jkn: " << e.what() << "\n";
    return kFileError;
  }
}

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
