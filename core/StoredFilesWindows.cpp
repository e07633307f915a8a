// StoredFiles.h on Windows: names compare without case, paths are code page
// 932 texts that people type and read in UTF-8.
#include <sys/stat.h>
#include <windows.h>

#include <cstdint>

#include "CodePage932.h"
#include "StoredFiles.h"
#include "TextConversion.h"

namespace trasso::stored {

bool namesHaveCase() { return false; }

std::string pathKey(std::string_view native) {
  std::string key(native);
  for (char& c : key) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return key;
}

size_t lastSeparator(std::string_view native) {
  size_t last = std::string::npos;
  for (size_t i = 0; i < native.size(); i += cp932::charWidth(native, i)) {
    if (native[i] == '/' || native[i] == '\\') last = i;
  }
  return last;
}

std::string joinPath(const std::string& folder, const std::string& name) {
  return folder + "\\" + name;
}

std::string nativeForm(const std::string& typed) {
  return text::utf8ToCp932(typed).value_or(typed);
}

std::string typedForm(const std::string& native) { return text::shownText(native); }

std::string fileIdentity(const std::string& native) {
  // stat gives no file number here: the volume's serial and the file's index.
  const HANDLE h =
      CreateFileA(native.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::string();
  BY_HANDLE_FILE_INFORMATION info{};
  const bool known = GetFileInformationByHandle(h, &info) != 0;
  CloseHandle(h);
  if (!known) return std::string();
  return std::to_string(info.dwVolumeSerialNumber) + ":" +
         std::to_string((uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow);
}

EntryKind entryKind(const std::string& native) {
  struct stat st {};
  if (::stat(native.c_str(), &st) != 0) return EntryKind::None;
  if (S_ISREG(st.st_mode)) return EntryKind::File;
  if (S_ISDIR(st.st_mode)) return EntryKind::Folder;
  if (S_ISFIFO(st.st_mode)) return EntryKind::Pipe;
  if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return EntryKind::Device;
  return EntryKind::Other;
}

}  // namespace trasso::stored
