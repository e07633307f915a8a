#include "CallNotes.h"

#include <utility>

namespace trasso {

namespace {
// A plain pointer: nothing to destroy when a thread ends (see ThreadBuffers).
thread_local CallNotes* innermost = nullptr;
}  // namespace

CallNotes::CallNotes() : outer_(innermost) { innermost = this; }

CallNotes::~CallNotes() { innermost = outer_; }

bool CallNotes::active() noexcept { return innermost != nullptr; }

// A note that cannot be kept for want of memory is dropped: the status of the
// call still says what matters.
void CallNotes::failedWrite(const std::string& path) noexcept {
  try {
    if (innermost != nullptr && innermost->failedPath_.empty()) innermost->failedPath_ = path;
  } catch (...) {
  }
}

void CallNotes::altered(Altered a) noexcept {
  try {
    if (innermost != nullptr) innermost->altered_.push_back(std::move(a));
  } catch (...) {
  }
}

void CallNotes::misuse(const char* what, long long number, const char* why) noexcept {
  try {
    if (innermost != nullptr && innermost->misuse_.empty()) {
      innermost->misuse_ = std::string(what) + " " + std::to_string(number) + " " + why;
    }
  } catch (...) {
  }
}

void CallNotes::wentTo(const std::string& path) noexcept {
  try {
    if (innermost == nullptr) return;
    for (Altered& a : innermost->altered_) {
      if (a.path.empty()) a.path = path;
    }
  } catch (...) {
  }
}

}  // namespace trasso
