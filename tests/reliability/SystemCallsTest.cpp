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
  const bool root = ::geteuid() == 0;
  const std::vector<SweptCall> calls = {
      {TRASSO_SWEPT(lstat), -1, "-", {{EACCES, S::Written}, {EIO, S::Written}}},
      {TRASSO_SWEPT(stat),
       -1,
       "F",
       {{EACCES, S::AccessDenied},
        {ENOTDIR, S::NotAFolder},
        {ENOENT, S::FolderMissing},
        {ELOOP, S::NotAFile},
        {ENOMEM, S::IoError}}},
      {TRASSO_SWEPT(open),
       -1,
       "FFF",
       {{EACCES, S::AccessDenied},
        {EROFS, S::AccessDenied},
        {EMFILE, S::IoError},
        {EINTR, S::Written}}},
      {TRASSO_SWEPT(flock), -1, "F", {{ENOLCK, S::IoError}, {EINTR, S::Written}}},
      {TRASSO_SWEPT(unlink), -1, "-", {{EACCES, S::Written}, {EBUSY, S::Written}}},
      {TRASSO_SWEPT(access), -1, root ? "" : "F", {{EACCES, S::AccessDenied}}},
      {TRASSO_SWEPT(fstat), -1, "F", {{EIO, S::IoError}, {EOVERFLOW, S::IoError}}},
      {TRASSO_SWEPT(pread),
       -1,
       "F",
       {{EIO, S::IoError}, {EISDIR, S::FileIsFolder}, {EINTR, S::Written}}},
      {TRASSO_SWEPT(fchmod), -1, "F", {{EPERM, S::AccessDenied}, {EIO, S::IoError}}},
      {TRASSO_SWEPT(fchown), -1, root ? "-" : "", {{EPERM, S::Written}, {EIO, S::Written}}},
      {TRASSO_SWEPT(write),
       -1,
       "F",
       {{ENOSPC, S::DiskFull},
        {EDQUOT, S::DiskFull},
        {EFBIG, S::DiskFull},
        {EIO, S::IoError},
        {EINTR, S::Written}}},
      {TRASSO_SWEPT(fsync),
       -1,
       "F-",
       {{EIO, S::IoError}, {ENOSPC, S::DiskFull}, {EDQUOT, S::DiskFull}, {EINTR, S::Written}}},
      // A close that fails after the temporary file's write may have lost it;
      // the descriptor is closed all the same.
      {TRASSO_SWEPT(close),
       -1,
       "-F-",
       {{EIO, S::IoError}, {ENOSPC, S::DiskFull}, {EINTR, S::IoError}},
       true},
      {TRASSO_SWEPT(rename),
       -1,
       "F",
       {{EACCES, S::AccessDenied},
        {EPERM, S::AccessDenied},
        {EBUSY, S::Busy},
        {ENOSPC, S::DiskFull},
        {EISDIR, S::FileIsFolder},
        {EXDEV, S::IoError}}},
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
