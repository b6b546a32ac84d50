#pragma once
// Starting importer processes, a few at a time, and watching them: their
// standard error is read through a pipe, so that each line is known to come
// from its own run, and their scene files are followed for progress marks.

#include "common/ImportArgs.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

struct ImporterRun {
  std::string scene;   // as handed to the importer
  std::string output;  // "-": standard output
  std::string name;    // how this run's lines are introduced in a batch
  ImportArgs args;
  // Why the importer is not started for this scene at all (not found, not a
  // file); empty for a scene to convert.
  std::string refused;

  // Filled in by runImporters().
  bool started = false;
  std::string startFailure;  // the system's words when the importer could not be started
  // Exit status; 128 + N when signal N ended it. None when its end could not
  // be observed.
  std::optional<int> status;
  std::string endedBy;  // what ended it other than its own exit: "signal 9"
  // The importer's own line saying it could not open the scene; it prints
  // one on its standard error whatever the log level.
  std::string openFailure;
};

struct RunSettings {
  std::string program;
  std::size_t jobs = 1;
  bool nameLines = false;     // put each run's name before its lines
  std::size_t linesPerRun = 0;  // of each run's standard error passed on; 0: all
  bool showProgress = false;  // a progress line on standard error, a terminal
};

// Runs every entry not refused, at most `jobs` at once, in the given order.
void runImporters(std::vector<ImporterRun>& runs, const RunSettings& settings);
