// Many writes of one thread made as one replacement per file, all of them or
// none, and the keys that differ between two versions of a file.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "SettingsFileIo.h"

namespace trasso::fileio {

// A file a batch writes: as it was and as the batch leaves it.
struct BatchFile {
  std::string path;  // native, as the first write named it
  bool existed = false;
  std::string before;
  bool exists = false;
  std::string after;
};

// While a batch collects (from its construction to commit), the writes of its
// thread (updateFile) are not made. Each edit is applied to the batch's copy of
// its file, read once (without the lock) when the batch first writes it, and is
// kept; reads of the thread (readFile) see those copies, so that a setter that
// reads before it writes (a record setter) sees the batch's earlier writes. A
// write the file could not take returns the status the write would have (a
// missing folder, a read-only file, a file too large) and leaves the copy as
// it was. Edits must own what they capture: they are kept until commit.
//
// commit writes each file once, in the order the batch first wrote them: under
// the folder's lock the kept edits are replayed in order on the file as it is
// then, so the file ends up with exactly the bytes of the same writes made one
// by one, and keys that other programs wrote meanwhile stay. When a file
// cannot be written, the files written before it are undone (undo) and
// nothing is left of the batch.
//
// One batch per thread at a time.
class WriteBatch {
 public:
  WriteBatch();
  ~WriteBatch();  // what was not committed is dropped
  WriteBatch(const WriteBatch&) = delete;
  WriteBatch& operator=(const WriteBatch&) = delete;

  // The files written so far; after commit, as found under the lock and as
  // written then.
  const std::vector<BatchFile>& files();

  // While collecting: reads of the thread see the files as they were before
  // the batch (true) or with its writes (false, the default).
  void showBefore(bool before) { showBefore_ = before; }

  // Writes every file and stops collecting. Written when any file changed,
  // Unchanged when none did, else the first failure, its file in failedPath()
  // and every file put back (undo; what could not be is in notUndone()).
  WriteStatus commit();
  const std::string& failedPath() const { return failedPath_; }

  // After a commit: takes the batch's writes back out of every file it
  // changed, each in one update under the lock. Only the keys the batch
  // changed, and only where they still read as the batch wrote them, get their
  // lines back (a key it added goes, and so does a section it added that has
  // no key left, and a file it created that holds nothing else); other
  // programs' writes since stay. The files it could not undo, with why.
  std::vector<std::pair<std::string, WriteStatus>> undo();
  const std::vector<std::pair<std::string, WriteStatus>>& notUndone() const { return notUndone_; }

  // For updateFile and readFile: the thread's collecting batch, or null.
  static WriteBatch* collecting();
  // With assignments (the edit does no more than them, assignKeys), they may
  // wait to be made with those of later edits in one pass.
  WriteStatus collect(const std::string& native, const Edit& edit,
                      const std::vector<ini::Assignment>* assignments = nullptr);
  // nullopt when the batch holds no copy of the file, else whether it exists.
  std::optional<bool> read(const std::string& native, FileBytes& out);

 private:
  struct Kept {
    std::vector<Edit> edits;
    bool written = false;  // an edit returned Written
    WriteStatus locked = WriteStatus::Written;
    std::string pendingBefore;  // the copy's first read
    bool pendingExisted = false;
    bool committed = false;                // replaced by commit, to be undone on a failure
    std::vector<ini::Assignment> waiting;  // not yet made in the copy
    size_t waitingBytes = 0;               // the most they add to it
  };
  WriteStatus commitFile(size_t i);
  void settle(size_t i);  // makes the waiting assignments

  WriteBatch* outer_;
  bool collecting_ = true;
  bool showBefore_ = false;
  std::vector<BatchFile> files_;
  std::vector<Kept> kept_;
  std::unordered_map<std::string, size_t> byPath_;  // native paths and link targets
  std::string failedPath_;
  std::vector<std::pair<std::string, WriteStatus>> notUndone_;
};

// A key whose line differs between two versions of a file: of the lines a
// reader takes (the first section of a name, the first key of a name in it).
struct KeyChange {
  std::string section;  // the section's name as written (after, else before)
  std::string key;
  std::optional<std::string> before, after;  // the whole line; nullopt: none
};
std::vector<KeyChange> changedKeys(std::string_view before, std::string_view after);

}  // namespace trasso::fileio
