// A thread_local object with a destructor is freed twice when a thread of a
// MinGW-w64 DLL ends (its storage goes before its destructor runs), which
// corrupts the heap of a program whose threads come and go. The buffers hang
// from a fiber-local slot instead, whose callback frees them at thread end.
#include <windows.h>

#include <new>

#include "ThreadBuffers.h"

namespace trasso {
namespace {

void WINAPI freeBuffers(void* buffers) { delete static_cast<ThreadBuffers*>(buffers); }

DWORD slot() {
  static const DWORD index = FlsAlloc(&freeBuffers);
  return index;
}

}  // namespace

ThreadBuffers* threadBuffers() noexcept {
  const DWORD index = slot();
  if (index == FLS_OUT_OF_INDEXES) return nullptr;
  auto* buffers = static_cast<ThreadBuffers*>(FlsGetValue(index));
  if (buffers == nullptr) {
    buffers = new (std::nothrow) ThreadBuffers;
    if (buffers != nullptr && !FlsSetValue(index, buffers)) {
      delete buffers;
      buffers = nullptr;
    }
  }
  return buffers;
}

}  // namespace trasso
