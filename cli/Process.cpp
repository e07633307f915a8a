// Console.h on POSIX: arguments and output are UTF-8 bytes already.
#include <csignal>

#include "Console.h"

namespace jkn {

Arguments::Arguments(int argc, char** argv) {
  texts_.assign(argv, argv + argc);
  for (std::string& t : texts_) pointers_.push_back(t.data());
  pointers_.push_back(nullptr);
}

void setUpOutput() {}

const std::vector<StopSignal>& stopSignals() {
  static const std::vector<StopSignal> signals = {
      {SIGINT, "SIGINT"}, {SIGTERM, "SIGTERM"}, {SIGHUP, "SIGHUP"}};
  return signals;
}

void keepRunningPastFileSizeLimit() { std::signal(SIGXFSZ, SIG_IGN); }

}  // namespace jkn
