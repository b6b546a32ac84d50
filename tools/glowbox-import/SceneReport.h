#pragma once
// What came of an importer run, judged from what belongs to that run for
// certain, and the short report a person reads afterwards.

#include "sceneapi/DalSummary.h"
#include "tools/glowbox-import/ImporterRuns.h"
#include "tools/glowbox-import/LogTail.h"

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

enum class Verdict {
  Converted,
  NotConverted,   // the importer ran but produced no scene, or was not started for a missing scene
  ImporterFailed, // it could not be started, or ended with a nonzero status
};

struct SceneOutcome {
  Verdict verdict = Verdict::NotConverted;
  std::string reason;  // plain words; empty when converted
  bool summarized = false;
  dal::Summary summary;
  std::uintmax_t outputBytes = 0;
};

// `ownRecords`: the run's log records when they are known to be its own
// (null when runs overlapped and the shared log cannot tell them apart).
SceneOutcome judgeRun(const ImporterRun& run, const std::vector<LogRecord>* ownRecords);

// Counts of the WARNING records by kind with one example each, the ERROR
// records, and the texture files the written scenes name but that are not
// there.
void printWarnings(std::ostream& out, const std::vector<LogRecord>& records, const std::vector<std::string>& missingTextures,
                   const std::string& logLevel);

// One line per scene: verdict, scene, output, triangles or reason.
void printSceneLine(std::ostream& out, const ImporterRun& run, const SceneOutcome& outcome);

// Separators doubled where folder names were joined, as in "/tmp//sceneapi.log".
std::string tidyPath(const std::string& path);
