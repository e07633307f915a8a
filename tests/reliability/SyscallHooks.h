// Hooks on fsync and rename for this test program: they record the order of the
// calls a write makes and can make the next call fail as a disk would. Reads
// are counted.
#pragma once

#include <string>
#include <vector>

namespace trasso::test {

struct SyscallEvent {
  enum Kind { FsyncFile, FsyncFolder, Rename } kind;
  std::string detail;  // rename: the target path
};

// Starts recording from an empty log.
void startRecording();
std::vector<SyscallEvent> stopRecording();

// The next fsync (or rename) fails with the given errno.
void failNextFsync(int error);
void failNextRename(int error);

// The read calls made so far.
long readCalls();

}  // namespace trasso::test
