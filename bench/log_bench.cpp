// Cost of a log statement: a disabled one should be one comparison, whatever
// its operands cost; an enabled one formats and writes a whole record.

#include "common/Log.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Deliberately costly operand: if it ever ran in the disabled case, the
// numbers would show it at once.
std::string expensiveOperand(int seed) {
  std::string text;
  for (int i = 0; i < 64; ++i) text += std::to_string(seed * 31 + i);
  return text;
}

void BM_DisabledStatement(benchmark::State& state) {
  const int saved = reportingLevel();
  reportingLevel() = logINFO;
  int seed = 0;
  for (auto _ : state) {
    LOG(logDEBUG1) << "mesh " << expensiveOperand(++seed);
    benchmark::DoNotOptimize(seed);
  }
  reportingLevel() = saved;
}
BENCHMARK(BM_DisabledStatement);

// The same operand computed outside a log statement, for scale.
void BM_OperandAlone(benchmark::State& state) {
  int seed = 0;
  for (auto _ : state) benchmark::DoNotOptimize(expensiveOperand(++seed));
}
BENCHMARK(BM_OperandAlone);

void BM_EnabledRecordToTempFile(benchmark::State& state) {
  std::string folder = (fs::temp_directory_path() / "glowbox-log-bench-XXXXXX").string();
  if (!::mkdtemp(folder.data())) {
    state.SkipWithError("cannot create a temporary folder");
    return;
  }
  const char* oldTmp = std::getenv("TMPDIR");
  const std::string savedTmp = oldTmp ? oldTmp : "";
  setenv("TMPDIR", folder.c_str(), 1);
  setenv("VANTOR_SYSCONFDIR", folder.c_str(), 1);  // no installation record here
  setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
  Output2FILE::resetForTesting();
  const int saved = reportingLevel();
  reportingLevel() = logDEBUG4;
  int i = 0;
  for (auto _ : state) {
    ++i;
    LOG(logINFO) << "exported mesh " << i << " with " << 12 * i << " triangles";
  }
  reportingLevel() = saved;
  Output2FILE::resetForTesting();
  if (oldTmp)
    setenv("TMPDIR", savedTmp.c_str(), 1);
  else
    unsetenv("TMPDIR");
  fs::remove_all(folder);
}
BENCHMARK(BM_EnabledRecordToTempFile);

}  // namespace

BENCHMARK_MAIN();
