#include "ThreadBuffers.h"

namespace trasso {

ThreadBuffers* threadBuffers() noexcept {
  static thread_local ThreadBuffers buffers;
  return &buffers;
}

}  // namespace trasso
