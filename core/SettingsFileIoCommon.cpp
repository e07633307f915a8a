// The parts of the file layer that both platforms share.
#include <cstring>
#include <memory>
#include <utility>

#include "SettingsFileIo.h"

namespace trasso::fileio {

char* FileBytes::reserve(size_t n) {
  if (n > capacity_) {
    std::unique_ptr<char[]> larger(new char[n]);
    if (size_ > 0) std::memcpy(larger.get(), data_.get(), size_);
    data_ = std::move(larger);
    capacity_ = n;
  }
  return data_.get();
}

bool updateFile(const std::string& native,
                const std::function<EditResult(std::string& contents, bool exists)>& edit) {
  try {
    return replaceFile(native, edit);
  } catch (...) {  // out of memory: nothing was renamed, so nothing changed
    return false;
  }
}

}  // namespace trasso::fileio
