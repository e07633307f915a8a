// The system calls of the platform's file layer (FileSystem.cpp,
// FileSystemWindows.cpp), each made through a pointer of one table, so that a
// test can put a call of its own in place of any of them and make it fail as
// the system would. The library never changes the table.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <sys/types.h>
#endif

namespace trasso::fileio {

#ifdef _WIN32
struct SystemCalls {
  decltype(&::CreateFileW) CreateFileW;
  decltype(&::CloseHandle) CloseHandle;
  decltype(&::ReadFile) ReadFile;
  decltype(&::WriteFile) WriteFile;
  decltype(&::FlushFileBuffers) FlushFileBuffers;
  decltype(&::GetFileType) GetFileType;
  decltype(&::GetFileSizeEx) GetFileSizeEx;
  decltype(&::GetFileInformationByHandle) GetFileInformationByHandle;
  decltype(&::GetFileAttributesW) GetFileAttributesW;
  decltype(&::GetFinalPathNameByHandleW) GetFinalPathNameByHandleW;
  decltype(&::MoveFileExW) MoveFileExW;
  decltype(&::DeleteFileW) DeleteFileW;
  decltype(&::CreateMutexW) CreateMutexW;
  decltype(&::WaitForSingleObject) WaitForSingleObject;
};
#else
struct SystemCalls {
  int (*open)(const char* path, int flags, mode_t mode);
  int (*close)(int fd);
  ssize_t (*pread)(int fd, void* data, size_t n, off_t offset);
  ssize_t (*write)(int fd, const void* data, size_t n);
  int (*fsync)(int fd);
  int (*fstat)(int fd, struct stat* st);
  int (*stat)(const char* path, struct stat* st);
  int (*lstat)(const char* path, struct stat* st);
  char* (*realpath)(const char* path, char* resolved);
  int (*access)(const char* path, int mode);
  int (*fchmod)(int fd, mode_t mode);
  int (*fchown)(int fd, uid_t owner, gid_t group);
  int (*flock)(int fd, int operation);
  int (*rename)(const char* from, const char* to);
  int (*unlink)(const char* path);
};
#endif

// The calls the file layer makes: the system's own unless a test replaced one.
SystemCalls& systemCalls();
// The system's own calls, for a test to put back.
const SystemCalls& platformSystemCalls();

}  // namespace trasso::fileio
