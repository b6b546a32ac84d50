#pragma once
// Runs a program as a child process with a chosen environment and collects
// its exit status and both output streams.

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <psapi.h>

#include "common/platform/Platform.h"
#include "tools/glowbox-import/CommandLine.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>
#else
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace testproc {

struct Outcome {
  int status = -1;  // exit status, or 128 + signal
  std::string out;
  std::string err;
  double seconds = 0;  // wall clock
  long peakKb = 0;     // the child's peak resident size
};

// Exit status of a child the deadline ended: SIGALRM's, on Windows as well.
constexpr int kDeadlineStatus = 142;

inline std::string slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Names and text in the tests are UTF-8; the narrow std::filesystem
// conversions follow the ANSI code page on Windows.
inline std::filesystem::path pathOf(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}
inline std::string utf8Of(const std::filesystem::path& path) {
  const std::u8string utf8 = path.u8string();
  return std::string(utf8.begin(), utf8.end());
}

#ifndef _WIN32

// `env` entries replace or add to the test's own environment; an empty value
// removes the variable. `scratch` receives the captured streams. A child still
// running after `deadlineSeconds` (0: none) is ended with SIGALRM (status 142).
inline Outcome run(const std::string& program, const std::vector<std::string>& args,
                   const std::map<std::string, std::string>& env, const std::filesystem::path& scratch,
                   const std::string& workingDir = {}, unsigned deadlineSeconds = 0) {
  const std::filesystem::path outPath = scratch / "child.out", errPath = scratch / "child.err";
  // A child would otherwise flush the parent's pending output a second time.
  std::fflush(nullptr);
  const pid_t child = ::fork();
  if (child == 0) {
    for (const auto& [name, value] : env)
      value.empty() ? ::unsetenv(name.c_str()) : ::setenv(name.c_str(), value.c_str(), 1);
    if (!workingDir.empty() && ::chdir(workingDir.c_str()) != 0) ::_exit(126);
    if (!std::freopen(outPath.c_str(), "w", stdout) || !std::freopen(errPath.c_str(), "w", stderr)) ::_exit(126);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    if (deadlineSeconds) ::alarm(deadlineSeconds);   // survives exec
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  const auto start = std::chrono::steady_clock::now();
  int status = 0, result = -1;
  struct rusage usage {};
  if (child > 0 && ::wait4(child, &status, 0, &usage) == child)
    result = WIFEXITED(status) ? WEXITSTATUS(status) : WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return {result, slurp(outPath), slurp(errPath), seconds, usage.ru_maxrss};
}

#else

namespace detail {

inline std::wstring widen(const std::string& utf8) { return platform::utf8ToUtf16(utf8); }

// Windows compares variable names without regard to case, and wants the
// block sorted that way.
inline std::wstring upper(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towupper(c));
  return text;
}

// The test's own environment with `env` applied, as CreateProcessW takes it.
inline std::wstring environmentBlock(const std::map<std::string, std::string>& env) {
  std::map<std::wstring, std::wstring> entries;  // by upper-case name
  if (wchar_t* own = ::GetEnvironmentStringsW()) {
    for (const wchar_t* entry = own; *entry; entry += std::wcslen(entry) + 1) {
      const std::wstring text = entry;
      // Names such as "=C:" start with the sign that ends others.
      const std::size_t sign = text.find(L'=', 1);
      entries[upper(text.substr(0, sign))] = text;
    }
    ::FreeEnvironmentStringsW(own);
  }
  for (const auto& [name, value] : env) {
    const std::wstring wideName = widen(name);
    if (value.empty())
      entries.erase(upper(wideName));
    else
      entries[upper(wideName)] = wideName + L"=" + widen(value);
  }
  std::wstring block;
  for (const auto& [key, entry] : entries) block += entry + L'\0';
  return block + L'\0';
}

inline HANDLE inheritedFile(const std::filesystem::path& path, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  return ::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                       disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Windows programs write text with CR LF; the tests read standard error by
// its lines. Standard output may be a binary scene and stays as it is.
inline std::string plainLineEnds(std::string text) {
  std::size_t kept = 0;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] != '\r' || i + 1 == text.size() || text[i + 1] != '\n') text[kept++] = text[i];
  text.resize(kept);
  return text;
}

}  // namespace detail

// `env` entries replace or add to the test's own environment; an empty value
// removes the variable. `scratch` receives the captured streams. A child still
// running after `deadlineSeconds` (0: none) is ended with status 142, as
// SIGALRM ends it on POSIX. Standard input is the null device.
inline Outcome run(const std::string& program, const std::vector<std::string>& args,
                   const std::map<std::string, std::string>& env, const std::filesystem::path& scratch,
                   const std::string& workingDir = {}, unsigned deadlineSeconds = 0) {
  const std::filesystem::path outPath = scratch / "child.out", errPath = scratch / "child.err";
  std::fflush(nullptr);
  const HANDLE in = detail::inheritedFile(L"NUL", GENERIC_READ, OPEN_EXISTING);
  const HANDLE out = detail::inheritedFile(outPath, GENERIC_WRITE, CREATE_ALWAYS);
  const HANDLE err = detail::inheritedFile(errPath, GENERIC_WRITE, CREATE_ALWAYS);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in;
  startup.hStdOutput = out;
  startup.hStdError = err;
  std::vector<std::string> argv{program};
  argv.insert(argv.end(), args.begin(), args.end());
  std::wstring line = detail::widen(cmdline::join(argv));
  std::wstring block = detail::environmentBlock(env);
  const std::wstring folder = detail::widen(workingDir);
  PROCESS_INFORMATION child{};
  const auto start = std::chrono::steady_clock::now();
  const bool started = out != INVALID_HANDLE_VALUE && err != INVALID_HANDLE_VALUE &&
                       ::CreateProcessW(detail::widen(program).c_str(), line.data(), nullptr, nullptr, TRUE,
                                        CREATE_UNICODE_ENVIRONMENT, block.data(),
                                        folder.empty() ? nullptr : folder.c_str(), &startup, &child);
  for (HANDLE handle : {in, out, err})
    if (handle != INVALID_HANDLE_VALUE) ::CloseHandle(handle);
  Outcome outcome;
  if (!started) {
    outcome.status = 127;  // what a failed exec leaves on POSIX
    outcome.err = "CreateProcessW failed with error " + std::to_string(::GetLastError());
    return outcome;
  }
  ::CloseHandle(child.hThread);
  const DWORD wait = deadlineSeconds ? static_cast<DWORD>(deadlineSeconds) * 1000 : INFINITE;
  if (::WaitForSingleObject(child.hProcess, wait) == WAIT_TIMEOUT) {
    ::TerminateProcess(child.hProcess, kDeadlineStatus);
    ::WaitForSingleObject(child.hProcess, INFINITE);
  }
  outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  DWORD code = 0;
  if (::GetExitCodeProcess(child.hProcess, &code)) outcome.status = static_cast<int>(code);
  PROCESS_MEMORY_COUNTERS memory{};
  if (::K32GetProcessMemoryInfo(child.hProcess, &memory, sizeof memory))
    outcome.peakKb = static_cast<long>(memory.PeakWorkingSetSize / 1024);
  ::CloseHandle(child.hProcess);
  outcome.out = slurp(outPath);
  outcome.err = detail::plainLineEnds(slurp(errPath));
  return outcome;
}

#endif

}  // namespace testproc
