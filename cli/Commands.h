// Commands over whole settings folders and the catalogues, each registered on
// jkn's command line by one call. Each runs from its subcommand's callback and
// ends the program with its exit status.
#pragma once

#include <exception>
#include <iostream>
#include <string>

#include "WriteStatus.h"

namespace CLI {
class App;
}

namespace jkn {

// jkn's exit statuses (listed in its --help).
enum Status {
  kOk = 0,
  kRefused = 1,      // a value the setting does not take
  kUsage = 2,        // unknown command, option, name or selector
  kFileError = 3,    // the file's place: missing folder, a folder or device in its place
  kNotWritable = 4,  // read-only file, access denied
  kDiskFull = 5,     // no space left, or the file too large
  kBusy = 6,         // another program holds the file
  kIoError = 7,      // the disk failed
  kNoValue = 8,      // get: nothing stored where the application passes the default
};

// A command's failure: what to print and the status to end with.
struct Failure {
  int status;
  std::string message;
};

// What jkn says of a write the library did not make, and the exit status:
// the cause, and what to do about it.
Failure writeFailure(trasso::WriteStatus status, const std::string& nativePath);

// The exit statuses of a write the library did not make (3 to 7) in words, and
// those of set (0 to 7), for --help.
extern const char* const kWriteFailureStatuses;
extern const std::string kExitStatuses;

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

// dump [--json] [PROFILE...] and load [--dry-run] [--skip-refused] FILE: every
// stored setting in one document, and that document written back through the
// setters, all of it or nothing.
void addDumpCommands(CLI::App& app);

// antenna init|list, sensor N, ntrip list, zones FOLDER, station-name,
// geoid-version FILE.
void addCatalogueCommands(CLI::App& app);

// watch [NAME|AREA...] [--profile FILE] [--json]: each change as it happens,
// until a stop signal (exit 0).
void addWatchCommand(CLI::App& app);

// Flushes the output and ends the program with status.
[[noreturn]] void finish(int status);

}  // namespace jkn
