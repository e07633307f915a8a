// What the C interface tells a caller beside a status: the thread's last error,
// in jkn's words (the setting or call, the value, what it takes, the file and
// what to do). Messages are UTF-8.
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "CInterfaceSupport.h"
#include "Registry.h"
#include "SettingText.h"
#include "SettingsFileIo.h"
#include "ShellWords.h"
#include "TextConversion.h"
#include "ThreadBuffers.h"

namespace trasso::c {

JknStatus failed(JknStatus status, const std::string& message) noexcept {
  ThreadBuffers* buffers = threadBuffers();
  if (buffers == nullptr) return status;
  try {
    buffers->lastError = message;
  } catch (...) {  // out of memory: the old message goes, none takes its place
    buffers->lastError.clear();
  }
  return status;
}

JknStatus callStatus(WriteStatus s, const CallNotes& notes) {
  if (!notes.misuseReason().empty()) return JKN_MISUSE;
  if (!succeeded(s)) return toC(s);
  return notes.alterations().empty() ? JKN_OK : JKN_READS_BACK_ALTERED;
}

namespace {

// The registry entry of an exported function, by its name without Get/Put.
const SettingEntry* entryOfFunction(const char* function) {
  const std::string name = function;
  for (const char* prefix : {"PutQZJkn_", "GetQZJkn_"}) {
    if (name.rfind(prefix, 0) == 0) return findSetting(name.substr(std::strlen(prefix)));
  }
  return nullptr;
}

// What a validating setter takes, field by field for a record.
std::string takes(const SettingEntry& e) {
  if (e.selector != SelectorKind::Field) return acceptedValues(e, e.decl);
  std::string out;
  for (size_t i = 0; i < e.fieldCount; ++i) {
    out += (i == 0 ? "" : "; ") + std::string(e.fields[i].name) + " " +
           acceptedValues(e, e.fields[i].decl);
  }
  return out;
}

}  // namespace

std::string callMessage(JknStatus status, WriteStatus s, const CallNotes& notes,
                        const char* function, const std::string& call) {
  if (status == JKN_MISUSE) return call + ": " + notes.misuseReason() + "; nothing written";
  if (s == WriteStatus::OutOfRange) {
    const SettingEntry* e = entryOfFunction(function);
    return call + ": a value outside what the setter takes" +
           (e != nullptr ? " (" + std::string(e->name) + ": " + takes(*e) + ")" : "") +
           "; nothing written";
  }
  if (s == WriteStatus::Refused) {
    return call + ": a text with a line break cannot be stored; nothing written";
  }
  if (!succeeded(s)) {
    const std::string words = notes.failedPath().empty()
                                  ? std::string("cannot write: ") + statusText(s)
                                  : writeFailureWords(s, notes.failedPath());
    return call + ": " + words;
  }
  std::string out = call + ": written, but the application reads it back otherwise: ";
  const char* separator = "";
  for (const CallNotes::Altered& a : notes.alterations()) {
    out += separator + a.key + " of [" + a.section + "] in " +
           text::shownPath(fileio::nativePath(a.path)) + " reads '" + text::shownText(a.readBack) +
           "', not '" + text::shownText(a.given) + "' (" + a.why + ")";
    separator = "; ";
  }
  const SettingEntry* e = entryOfFunction(function);
  return out + "; give a value that reads back as given" +
         (e != nullptr ? " (jkn describe " + std::string(e->name) + " says what it takes)" : "");
}

JknStatus nullArgument(const char* function, const char* argument) noexcept {
  try {
    return failed(JKN_MISUSE, std::string(function) + ": " + argument +
                                  " is NULL, and the function takes a record there; nothing "
                                  "written");
  } catch (...) {
    return JKN_MISUSE;
  }
}

std::string argText(const char* text) {
  if (text == nullptr) return "NULL";
  constexpr size_t kShown = 40;
  const std::string_view all(text);
  std::string out = "\"";
  for (const char c : all.substr(0, kShown)) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b >= 0x7F || c == '"') {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", b);
      out += hex;
    } else {
      out += c;
    }
  }
  out += "\"";
  if (all.size() > kShown) out += " (" + std::to_string(all.size()) + " bytes)";
  return out;
}

std::string argText(double v) {
  char text[32];
  return std::string(text, std::to_chars(text, text + sizeof text, v).ptr);
}
std::string argText(bool v) { return v ? "true" : "false"; }
std::string argText(long long v) { return std::to_string(v); }
std::string argText(unsigned long long v) { return std::to_string(v); }

}  // namespace trasso::c

namespace trasso {
namespace {

// The file a write of native puts its new contents in first: ".<name>.tmp" beside it.
std::string temporaryOf(const std::string& native) {
  const std::string folder = shell::folderOf(native);
  size_t cut = native.compare(0, folder.size(), folder) == 0 ? folder.size() : 0;
  if (cut < native.size() && (native[cut] == '/' || native[cut] == '\\')) ++cut;
  return native.substr(0, cut) + "." + native.substr(cut) + ".tmp";
}

struct FailureWords {
  const char* cause;
  const char* remedy;
};

// By WriteStatus; a success has none.
constexpr FailureWords kFailureWords[] = {
#define JKN_WRITE_STATUS(name, cName, number, text, meaning, cause, remedy) {cause, remedy},
#define JKN_CALL_STATUS(cName, number, text, meaning)
#include "Statuses.def"
};

}  // namespace

std::string writeFailureWords(WriteStatus s, const std::string& libraryPath) {
  const std::string native = fileio::nativePath(libraryPath);
  if (s == WriteStatus::NotAFile && native.empty()) {
    return "cannot write: the path names no file (it is empty)";
  }
  // A write that failed without a cause of its own is the disk's.
  if (succeeded(s)) s = WriteStatus::IoError;
  const FailureWords& words = kFailureWords[static_cast<size_t>(s)];
  const std::string path = text::shownPath(native);
  const std::string folder = text::shownPath(shell::folderOf(native));
  const std::string temporary = text::shownPath(temporaryOf(native));
  // Each {name} of the row, filled in; a path's own braces are never read as one.
  const auto fill = [&](std::string_view row) {
    std::string out;
    for (size_t at = 0;;) {
      const size_t open = row.find('{', at);
      const size_t close = open == std::string_view::npos ? open : row.find('}', open);
      if (close == std::string_view::npos) {
        out.append(row.substr(at));
        return out;
      }
      out.append(row.substr(at, open - at));
      const std::string_view name = row.substr(open + 1, close - open - 1);
      if (name == "path") {
        out += path;
      } else if (name == "folder") {
        out += folder;
      } else if (name == "make-folder") {
        out += shell::makeFolderCommand(folder);
      } else if (name == "remove-folder") {
        out += shell::removeCommand(path, true);
      } else if (name == "remove-file") {
        out += shell::removeCommand(path, false);
      } else if (name == "make-writable") {
        out += shell::makeWritableCommand(path);
      } else if (name == "temporary") {
        out += temporary;
      } else if (name == "remove-temporary") {
        out += shell::removeCommand(temporary, true);
      } else {
        out.append(row.substr(open, close + 1 - open));
      }
      at = close + 1;
    }
  };
  return fill(words.cause) + "; " + fill(words.remedy);
}

}  // namespace trasso
