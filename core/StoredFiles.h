// The settings folders as a tool that inspects them (jkn) must see them: how
// this platform names a file and compares its names, how paths travel between
// a person (UTF-8) and the library, and what stands at a path. POSIX in
// StoredFiles.cpp, Windows in StoredFilesWindows.cpp, the rest shared in
// StoredNames.cpp.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace trasso::stored {

// Whether file names that differ only in ASCII case name two files (POSIX);
// on Windows they name one.
bool namesHaveCase();
// The same text for every spelling of a native path the file system takes as
// one file: the path itself on POSIX, its ASCII letters in lower case on Windows.
std::string pathKey(std::string_view native);
// Whether two names in one folder name the same file.
bool sameFileName(std::string_view a, std::string_view b);

// Where the last separator of a native path is ('/'; on Windows also '\\',
// never the second byte of a double-byte character), or npos.
size_t lastSeparator(std::string_view native);
// The folder part of a native path without its last separator; "." for a
// bare name.
std::string folderOf(const std::string& native);
// name in folder, joined by the platform's separator.
std::string joinPath(const std::string& folder, const std::string& name);

// A text typed by a person (UTF-8) as the library takes it: on Windows its
// code page 932 form when there is one, on POSIX the bytes as they are.
std::string nativeForm(const std::string& typed);
// A text of the library's (a path, a message naming one) as a person reads
// it: UTF-8 on Windows (bytes without a character as \xNN), the bytes on POSIX.
std::string typedForm(const std::string& native);

// The same text for every path that reaches one file or folder (through links,
// and on Windows in any case of its name); empty when it cannot be looked at.
std::string fileIdentity(const std::string& native);

// What stands at a path, a link followed. BadLink: a link that leads nowhere
// (POSIX); None: nothing at all, or it cannot be looked at.
enum class EntryKind { None, File, Folder, Pipe, Device, Socket, BadLink, Other };
EntryKind entryKind(const std::string& native);

// The names of the files the application opens in the settings folders.
std::vector<std::string> readFileNames();
// The root whose "inf" folder the application reads a file of this name from,
// or -1; on Windows whatever the case of the name.
int readingRoot(std::string_view name);

}  // namespace trasso::stored
