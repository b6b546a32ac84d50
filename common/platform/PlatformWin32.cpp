#ifdef _WIN32

#include "common/platform/Platform.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <vector>

namespace platform {

int dupFd(int fd) { return ::_dup(fd); }
int dup2Fd(int from, int to) { return ::_dup2(from, to); }
int closeFd(int fd) { return ::_close(fd); }
int fileNo(FILE* file) { return file ? ::_fileno(file) : -1; }
FILE* fdOpen(int fd, const char* mode) { return ::_fdopen(fd, mode); }
void setBinaryMode(int fd) { ::_setmode(fd, _O_BINARY); }

std::wstring utf8ToUtf16(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int units = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  if (units <= 0) return {};
  std::wstring wide(static_cast<size_t>(units), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), units);
  return wide;
}

std::string utf16ToUtf8(const wchar_t* wide, size_t units) {
  if (units == 0) return {};
  const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(units), nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return {};
  std::string utf8(static_cast<size_t>(bytes), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(units), utf8.data(), bytes, nullptr, nullptr);
  return utf8;
}

namespace {

std::wstring widen(const std::string& utf8) { return utf8ToUtf16(utf8); }
std::string narrow(const wchar_t* wide, size_t units) { return utf16ToUtf8(wide, units); }

}  // namespace

FILE* openFileUtf8(const std::string& path, const char* mode) {
  const std::wstring widePath = widen(path);
  const std::wstring wideMode = widen(mode ? std::string(mode) : std::string());
  if (widePath.empty() && !path.empty()) return nullptr;
  return ::_wfopen(widePath.c_str(), wideMode.c_str());
}

std::string tempFolder() {
  wchar_t buffer[MAX_PATH + 1] = {};
  const DWORD units = ::GetTempPathW(MAX_PATH + 1, buffer);
  std::string folder = (units > 0 && units <= MAX_PATH) ? narrow(buffer, units) : std::string(".\\");
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  return folder;
}

char pathSeparator() { return '\\'; }

bool readRegistryString(Hive hive, const std::string& key, const std::string& valueName,
                        std::string& out, size_t maxBytes) {
  const HKEY root = hive == Hive::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
  // The installer is a 32-bit program and writes its record in the 32-bit view.
  HKEY handle = nullptr;
  if (::RegOpenKeyExW(root, widen(key).c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &handle) != ERROR_SUCCESS)
    return false;
  std::vector<wchar_t> buffer(maxBytes / sizeof(wchar_t) + 1, L'\0');
  DWORD type = 0;
  DWORD bytes = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
  const LONG status = ::RegQueryValueExW(handle, widen(valueName).c_str(), nullptr, &type,
                                         reinterpret_cast<LPBYTE>(buffer.data()), &bytes);
  ::RegCloseKey(handle);
  if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
  // The stored value need not carry its terminator; the spare unit holds one.
  size_t units = bytes / sizeof(wchar_t);
  while (units > 0 && buffer[units - 1] == L'\0') --units;
  out = narrow(buffer.data(), units);
  return true;
}

bool formatLocalTime(char* buf, size_t size) {
  return ::GetTimeFormatA(LOCALE_USER_DEFAULT, 0, nullptr, "HH':'mm':'ss", buf, static_cast<int>(size)) != 0;
}

uint32_t tickCountMs() { return static_cast<uint32_t>(::GetTickCount()); }

// The Windows heap reuses freed blocks by itself.
void tuneAllocatorForLargeArrays() {}

}  // namespace platform

#endif
