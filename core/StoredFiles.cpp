// StoredFiles.h on POSIX: names have case, paths are the bytes as typed.
#include "StoredFiles.h"

#include <sys/stat.h>

namespace trasso::stored {

bool namesHaveCase() { return true; }

std::string pathKey(std::string_view native) { return std::string(native); }

size_t lastSeparator(std::string_view native) { return native.find_last_of('/'); }

std::string joinPath(const std::string& folder, const std::string& name) {
  return folder + "/" + name;
}

std::string nativeForm(const std::string& typed) { return typed; }

std::string typedForm(const std::string& native) { return native; }

std::string fileIdentity(const std::string& native) {
  struct stat st {};
  if (::stat(native.c_str(), &st) != 0) return std::string();
  return std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
}

EntryKind entryKind(const std::string& native) {
  struct stat st {};
  if (::stat(native.c_str(), &st) != 0) {
    return ::lstat(native.c_str(), &st) == 0 ? EntryKind::BadLink : EntryKind::None;
  }
  if (S_ISREG(st.st_mode)) return EntryKind::File;
  if (S_ISDIR(st.st_mode)) return EntryKind::Folder;
  if (S_ISFIFO(st.st_mode)) return EntryKind::Pipe;
  if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return EntryKind::Device;
  if (S_ISSOCK(st.st_mode)) return EntryKind::Socket;
  return EntryKind::Other;
}

}  // namespace trasso::stored
