#include "WriteBatch.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "Ini.h"

namespace trasso::fileio {
namespace {

thread_local WriteBatch* current = nullptr;

std::string keyId(std::string_view section, std::string_view key) {
  return ini::foldedName(section) + '\n' + ini::foldedName(key);
}

// The lines a reader takes keys from, by section and key, in file order.
struct KeyLine {
  std::string id;
  std::string section;
  std::string key;
  std::string text;
};

std::vector<KeyLine> readLines(std::string_view file, std::unordered_set<std::string>* sections) {
  std::vector<KeyLine> out;
  std::unordered_set<std::string> seen;
  std::unordered_set<std::string> keys;
  bool readable = false;  // lines before the first section belong to none
  std::string_view section;
  ini::forEachLine(file, [&](const ini::LineView& l) {
    if (l.kind == ini::LineView::Section) {
      section = l.name;
      readable = seen.insert(ini::foldedName(l.name)).second;
      keys.clear();
    } else if (l.kind == ini::LineView::Key && readable &&
               keys.insert(ini::foldedName(l.name)).second) {
      out.push_back(KeyLine{keyId(section, l.name), std::string(section), std::string(l.name),
                            std::string(l.text)});
    }
  });
  if (sections != nullptr) *sections = std::move(seen);
  return out;
}

// The line a reader takes a key from, or nullopt.
std::optional<ini::LineView> keyLine(std::string_view file, std::string_view section,
                                     std::string_view key) {
  size_t pos = 0;
  ini::LineView l;
  bool inSection = false;
  while (ini::nextLine(file, pos, l)) {
    if (l.kind == ini::LineView::Section) {
      // Only the first section of the name is read: past it, there is no key.
      if (inSection) return std::nullopt;
      inSection = ini::sameName(l.name, section);
    } else if (inSection && l.kind == ini::LineView::Key && ini::sameName(l.name, key)) {
      return l;
    }
  }
  return std::nullopt;
}

bool holdsKeys(std::string_view file, std::string_view section) {
  size_t pos = 0;
  ini::LineView l;
  bool inSection = false;
  while (ini::nextLine(file, pos, l)) {
    if (l.kind == ini::LineView::Section) {
      if (inSection) return false;
      inSection = ini::sameName(l.name, section);
    } else if (inSection && l.kind == ini::LineView::Key) {
      return true;
    }
  }
  return false;
}

bool sameLine(const std::optional<ini::LineView>& now, const std::optional<std::string>& line) {
  return now ? line && now->text == *line : !line;
}

// Takes the batch's changes of f (f.before to f.after) back out of contents,
// key by key, where they still stand as the batch wrote them.
WriteStatus takeBack(std::string& contents, bool exists, const BatchFile& f) {
  if (!exists) return WriteStatus::Unchanged;  // removed since: nothing of the batch is left
  if (contents == f.after) {
    contents = f.existed ? f.before : std::string();
    return WriteStatus::Written;
  }
  bool changed = false;
  for (const KeyChange& k : changedKeys(f.before, f.after)) {
    std::optional<ini::LineView> now = keyLine(contents, k.section, k.key);
    if (!sameLine(now, k.after)) continue;  // written again since
    changed = true;
    if (!k.before) {
      ini::removeKey(contents, k.section, k.key);
      continue;
    }
    if (!now) {
      ini::setValue(contents, k.section, k.key, "");
      now = keyLine(contents, k.section, k.key);
    }
    contents.replace(static_cast<size_t>(now->text.data() - contents.data()), now->text.size(),
                     *k.before);
  }
  std::unordered_set<std::string> before;
  std::unordered_set<std::string> after;
  readLines(f.before, &before);
  readLines(f.after, &after);
  ini::forEachLine(f.after, [&](const ini::LineView& l) {
    if (l.kind != ini::LineView::Section || before.count(ini::foldedName(l.name)) != 0 ||
        after.erase(ini::foldedName(l.name)) == 0 || holdsKeys(contents, l.name)) {
      return;
    }
    changed = ini::removeSection(contents, l.name) || changed;
  });
  if (!f.existed && contents.find_first_not_of("\r\n") == std::string::npos) contents.clear();
  return changed ? WriteStatus::Written : WriteStatus::Unchanged;
}

}  // namespace

std::vector<KeyChange> changedKeys(std::string_view before, std::string_view after) {
  std::vector<KeyLine> old = readLines(before, nullptr);
  std::unordered_map<std::string, size_t> byId;
  for (size_t i = 0; i < old.size(); ++i) byId.emplace(old[i].id, i);
  std::vector<bool> matched(old.size(), false);
  std::vector<KeyChange> out;
  for (KeyLine& l : readLines(after, nullptr)) {
    const auto it = byId.find(l.id);
    if (it == byId.end()) {
      out.push_back(
          KeyChange{std::move(l.section), std::move(l.key), std::nullopt, std::move(l.text)});
      continue;
    }
    matched[it->second] = true;
    if (old[it->second].text != l.text) {
      out.push_back(KeyChange{std::move(l.section), std::move(l.key), old[it->second].text,
                              std::move(l.text)});
    }
  }
  for (size_t i = 0; i < old.size(); ++i) {
    if (!matched[i]) {
      out.push_back(
          KeyChange{std::move(old[i].section), std::move(old[i].key), old[i].text, std::nullopt});
    }
  }
  return out;
}

WriteBatch::WriteBatch() : outer_(current) { current = this; }

WriteBatch::~WriteBatch() {
  if (collecting_) current = outer_;
}

WriteBatch* WriteBatch::collecting() { return current; }

WriteStatus WriteBatch::collect(const std::string& native, const Edit& edit,
                                const std::vector<ini::Assignment>* assignments) {
  auto at = byPath_.find(native);
  if (at == byPath_.end()) {
    FileSystem& fs = fileSystem();
    WriteTarget target;
    WriteStatus s = fs.plan(native, target);
    if (!succeeded(s)) return s;
    at = byPath_.find(target.path);  // the same file by a link
    if (at == byPath_.end()) {
      std::string contents;
      CurrentFile file;
      s = fs.readCurrent(target, contents, file);
      if (!succeeded(s)) return s;
      at = byPath_.emplace(target.path, files_.size()).first;
      kept_.push_back(Kept{{}, false, file.locked, contents, file.exists, false, {}, 0});
      files_.push_back(BatchFile{native, file.exists, contents, file.exists, std::move(contents)});
    }
    at = byPath_.emplace(native, at->second).first;
  }
  BatchFile& f = files_[at->second];
  Kept& k = kept_[at->second];
  if (assignments != nullptr && succeeded(k.locked)) {
    // At most what each adds: a line break, "[section]" and its break, the line.
    size_t bytes = 0;
    for (const ini::Assignment& a : *assignments) {
      bytes += a.section.size() + a.key.size() + a.value.size() + 10;
    }
    if (f.after.size() + k.waitingBytes + bytes <= kMaxFileSize) {
      k.waiting.insert(k.waiting.end(), assignments->begin(), assignments->end());
      k.waitingBytes += bytes;
      f.exists = true;
      k.written = true;
      k.edits.push_back(edit);
      return WriteStatus::Written;
    }
  }
  settle(at->second);
  std::string work = f.after;
  const WriteStatus s = edit(work, f.exists);
  if (!succeeded(s)) return s;
  if (s == WriteStatus::Written) {
    if (!succeeded(k.locked)) return k.locked;
    if (work.size() > kMaxFileSize) return WriteStatus::DiskFull;
    f.after = std::move(work);
    f.exists = true;
    k.written = true;
  }
  k.edits.push_back(edit);
  return s;
}

void WriteBatch::settle(size_t i) {
  Kept& k = kept_[i];
  if (k.waiting.empty()) return;
  ini::setValues(files_[i].after, k.waiting);
  k.waiting.clear();
  k.waitingBytes = 0;
}

const std::vector<BatchFile>& WriteBatch::files() {
  for (size_t i = 0; i < files_.size(); ++i) settle(i);
  return files_;
}

std::optional<bool> WriteBatch::read(const std::string& native, FileBytes& out) {
  const auto at = byPath_.find(native);
  if (at == byPath_.end()) return std::nullopt;
  settle(at->second);
  const BatchFile& f = files_[at->second];
  const std::string& contents = showBefore_ ? f.before : f.after;
  out.setSize(0);
  if (!(showBefore_ ? f.existed : f.exists)) return false;
  const size_t n = std::min(contents.size(), kMaxFileSize);
  if (n > 0) std::memcpy(out.reserve(n), contents.data(), n);
  out.setSize(n);
  return true;
}

WriteStatus WriteBatch::commitFile(size_t i) {
  settle(i);
  BatchFile& f = files_[i];
  const Kept& k = kept_[i];
  return updateFile(f.path, [&f, &k](std::string& contents, bool exists) {
    f.existed = exists;
    f.before = contents;
    bool written = k.written;
    if (exists == k.pendingExisted && contents == k.pendingBefore) {
      contents = f.after;  // nobody wrote it since: the copy is what the edits give
    } else {
      written = false;
      bool now = exists;
      for (const Edit& edit : k.edits) {
        const WriteStatus s = edit(contents, now);
        if (!succeeded(s)) return s;
        if (s == WriteStatus::Written) written = now = true;
      }
    }
    if (!written || (exists && contents == f.before)) {
      f.exists = exists;
      f.after = f.before;
      return WriteStatus::Unchanged;
    }
    f.exists = true;
    f.after = contents;
    return WriteStatus::Written;
  });
}

WriteStatus WriteBatch::commit() {
  if (!collecting_) return WriteStatus::Unchanged;
  collecting_ = false;
  current = outer_;
  WriteStatus status = WriteStatus::Unchanged;
  for (size_t i = 0; i < files_.size(); ++i) {
    const WriteStatus s = commitFile(i);
    if (!succeeded(s)) {
      failedPath_ = files_[i].path;
      notUndone_ = undo();
      return s;
    }
    kept_[i].committed = s == WriteStatus::Written;
    status = combine(status, s);
  }
  return status;
}

std::vector<std::pair<std::string, WriteStatus>> WriteBatch::undo() {
  std::vector<std::pair<std::string, WriteStatus>> failed;
  for (size_t i = files_.size(); i-- > 0;) {
    if (!kept_[i].committed) continue;
    const BatchFile& f = files_[i];
    const auto edit = [&f](std::string& contents, bool exists) {
      return takeBack(contents, exists, f);
    };
    // A file the batch created goes again when nothing else is left in it.
    const WriteStatus s = f.existed ? updateFile(f.path, edit) : updateOrRemoveFile(f.path, edit);
    if (succeeded(s)) {
      kept_[i].committed = false;
    } else {
      failed.emplace_back(f.path, s);
    }
  }
  return failed;
}

}  // namespace trasso::fileio
