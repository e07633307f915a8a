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

}  // namespace trasso::fileio
