// Every system call of a write fails in turn, with each error the system can
// give it: the write says why, or does without the call, and leaves the old
// file or the new one whole and nothing beside it.
#include <cerrno>

#include "FileSystemSeam.h"
#include "TestRoots.h"

namespace trasso::test {
namespace {

using S = WriteStatus;

class SystemCalls : public RootsTest {};

TEST_F(SystemCalls, EveryFailingCallOfAWriteIsItsStatusOrDoneWithout) {
  // Uses in order: plan (lstat, stat of the folder), lock (open and flock of
  // the folder), leftovers (unlink), the current file (open, fstat, pread,
  // close), the temporary file (open, fchmod, fchown as root, write, fsync,
  // close), rename, the folder's fsync, unlock (close).
  constexpr S kOk = S::Written, kIo = S::IoError, kDenied = S::AccessDenied, kFull = S::DiskFull;
  const std::vector<SweptCall> calls = {
      {TRASSO_SWEPT(lstat), -1, "-", {{EACCES, kOk}, {EIO, kOk}}},
      {TRASSO_SWEPT(stat), -1, "F", {{EACCES, kDenied}, {ENOTDIR, S::NotAFolder}, {ENOMEM, kIo}}},
      {TRASSO_SWEPT(stat), -1, "F", {{ENOENT, S::FolderMissing}, {ELOOP, S::NotAFile}}},
      {TRASSO_SWEPT(open), -1, "FFF", {{EACCES, kDenied}, {EROFS, kDenied}}},
      {TRASSO_SWEPT(open), -1, "FFF", {{EMFILE, kIo}, {EINTR, kOk}}},
      {TRASSO_SWEPT(flock), -1, "F", {{ENOLCK, kIo}, {EINTR, kOk}}},
      {TRASSO_SWEPT(unlink), -1, "-", {{EACCES, kOk}, {EBUSY, kOk}}},
      {TRASSO_SWEPT(access), -1, ::geteuid() == 0 ? "" : "F", {{EACCES, kDenied}}},
      {TRASSO_SWEPT(fstat), -1, "F", {{EIO, kIo}, {EOVERFLOW, kIo}}},
      {TRASSO_SWEPT(pread), -1, "F", {{EIO, kIo}, {EISDIR, S::FileIsFolder}, {EINTR, kOk}}},
      {TRASSO_SWEPT(fchmod), -1, "F", {{EPERM, kDenied}, {EIO, kIo}}},
      {TRASSO_SWEPT(fchown), -1, ::geteuid() == 0 ? "-" : "", {{EPERM, kOk}, {EIO, kOk}}},
      {TRASSO_SWEPT(write), -1, "F", {{ENOSPC, kFull}, {EDQUOT, kFull}, {EFBIG, kFull}}},
      {TRASSO_SWEPT(write), -1, "F", {{EIO, kIo}, {EINTR, kOk}}},
      {TRASSO_SWEPT(fsync), -1, "F-", {{EIO, kIo}, {ENOSPC, kFull}, {EDQUOT, kFull}, {EINTR, kOk}}},
      // A close that fails after the temporary file's write may have lost it;
      // the descriptor is closed all the same.
      {TRASSO_SWEPT(close), -1, "-F-", {{EIO, kIo}, {ENOSPC, kFull}, {EINTR, kIo}}, true},
      {TRASSO_SWEPT(rename), -1, "F", {{EACCES, kDenied}, {EPERM, kDenied}, {EBUSY, S::Busy}}},
      {TRASSO_SWEPT(rename), -1, "F", {{ENOSPC, kFull}, {EISDIR, S::FileIsFolder}, {EXDEV, kIo}}},
  };
  sweepWrite(inf("v.ini"), calls);
}

TEST_F(SystemCalls, EveryFailingCallOfAReadGivesTheDefault) {
  // Uses in order: open, pread (the first buffer fills), fstat (how large),
  // pread (the rest), close.
  const std::vector<SweptCall> calls = {
      {TRASSO_SWEPT(open), -1, "F", {{EACCES, S::AccessDenied}, {EINTR, S::Written}}},
      {TRASSO_SWEPT(pread), -1, "FF", {{EIO, S::IoError}, {EINTR, S::Written}}},
      {TRASSO_SWEPT(fstat), -1, "F", {{EIO, S::IoError}}},
      {TRASSO_SWEPT(close), -1, "-", {{EIO, S::IoError}}, true},
  };
  sweepRead(inf("v.ini"), calls);
}

}  // namespace
}  // namespace trasso::test
