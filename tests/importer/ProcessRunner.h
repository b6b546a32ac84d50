#pragma once
// Runs a program as a child process with a chosen environment and collects
// its exit status and both output streams.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

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

inline std::string slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

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

}  // namespace testproc
