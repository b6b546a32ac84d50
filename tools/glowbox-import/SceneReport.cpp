#include "tools/glowbox-import/SceneReport.h"

#include "sceneapi/DalReader.h"
#include "tools/glowbox-import/System.h"

#include <filesystem>
#include <iomanip>
#include <ostream>
#include <regex>
#include <system_error>

namespace {

// Long messages (a reference search lists every folder it tried) are cut for
// the overview; the log keeps them whole.
constexpr std::size_t kExampleLength = 110;
constexpr int kKindWidth = 25;

std::string firstLine(const std::string& text, std::size_t limit) {
  std::string line = text.substr(0, text.find('\n'));
  while (!line.empty() && (line.back() == '\t' || line.back() == ' ' || line.back() == '\r')) line.pop_back();
  if (line.size() > limit) line = line.substr(0, limit - 3) + "...";
  return line;
}

// "/long/folder/scene.ma:12: ..." -> "scene.ma:12: ...": in a line of an
// overview the scene's folder only pushes the point out of sight.
std::string withoutFolder(const std::string& message) {
  static const std::regex leadingScene(R"(^[^\n]*?\.m[ab](?=:))", std::regex::icase);
  std::smatch match;
  if (!std::regex_search(message, match, leadingScene)) return message;
  const std::size_t slash = match.str(0).find_last_of(sys::kFolderSeparators);
  return slash == std::string::npos ? message : message.substr(slash + 1);
}

std::string folderOf(const std::string& path) {
  const std::filesystem::path parent = sys::pathOf(path).parent_path();
  return parent.empty() ? std::string(".") : sys::utf8Of(parent);
}

// The last ERROR, else the last WARNING, of a run that wrote nothing.
std::string lastComplaint(const std::vector<LogRecord>* records) {
  if (!records) return {};
  for (const char* level : {"ERROR", "WARNING"})
    for (auto it = records->rbegin(); it != records->rend(); ++it)
      if (it->level == level) return firstLine(it->message, kExampleLength);
  return {};
}

}  // namespace

SceneOutcome judgeRun(const ImporterRun& run, const std::vector<LogRecord>* ownRecords) {
  SceneOutcome outcome;
  if (!run.refused.empty()) {
    outcome.reason = run.refused;
    return outcome;
  }
  outcome.verdict = Verdict::ImporterFailed;
  if (!run.started) {
    outcome.reason = "the importer could not be started: " + run.startFailure;
    return outcome;
  }
  if (!run.endedBy.empty()) {
    outcome.reason = "the importer was ended by " + run.endedBy;
    return outcome;
  }
  if (run.status != 0) {
    outcome.reason = !run.status ? "the importer's end could not be observed"
                                 : "the import failed with exit status " + std::to_string(*run.status);
    return outcome;
  }

  // The importer ends with status 0 even when it could not open the scene;
  // then it leaves a scene file of the header alone.
  outcome.verdict = Verdict::NotConverted;
  std::string openFailure = run.openFailure;
  if (openFailure.empty() && ownRecords)
    for (const LogRecord& record : *ownRecords)
      if (record.level == "WARNING" && classifyWarning(record.message) == WarningKind::OpenFailed) {
        openFailure = record.message;
        break;
      }
  if (!openFailure.empty()) {
    outcome.reason = plainReason(openFailure);
    return outcome;
  }
  std::error_code error;
  const std::filesystem::path output = sys::pathOf(run.output);
  const std::filesystem::file_status written = std::filesystem::status(output, error);
  if (run.output != "-" && !std::filesystem::exists(written)) {
    outcome.reason = "the importer wrote no scene file " + run.output;
    return outcome;
  }
  // Standard output, a pipe or a device cannot be read back; a terminal
  // would even wait for the keyboard.
  if (run.output == "-" || !std::filesystem::is_regular_file(written)) {
    outcome.verdict = Verdict::Converted;
    return outcome;
  }
  outcome.outputBytes = std::filesystem::file_size(output, error);
  dal::Document document;
  dal::ReadError fault;
  if (!dal::readFile(run.output, document, fault)) {
    outcome.reason = "the written scene file cannot be read back: " + fault.describe();
    return outcome;
  }
  if (document.root.children.empty()) {
    const std::string why = lastComplaint(ownRecords);
    outcome.reason = "the importer wrote only the file header" + (why.empty() ? std::string() : " (" + why + ")");
    return outcome;
  }
  outcome.verdict = Verdict::Converted;
  // Texture paths in a Maya scene are written relative to the scene, if at all.
  outcome.summary = dal::summarize(document, folderOf(run.scene));
  outcome.summarized = true;
  return outcome;
}

void printWarnings(std::ostream& out, const std::vector<LogRecord>& records, const std::vector<std::string>& missingTextures,
                   const std::string& logLevel) {
  struct Group {
    WarningKind kind;
    std::size_t count = 0;
    std::string example;
  };
  std::vector<Group> groups;
  for (WarningKind kind : {WarningKind::UnreadableParts, WarningKind::HistoryNotEvaluated, WarningKind::MissingReferences,
                           WarningKind::NoMaterial, WarningKind::EmptyGeometry, WarningKind::Other})
    groups.push_back({kind, 0, {}});
  std::size_t warnings = 0, errors = 0;
  std::string lastError;
  for (const LogRecord& record : records) {
    if (record.level == "ERROR") {
      ++errors;
      lastError = record.message;
      continue;
    }
    if (record.level != "WARNING") continue;
    const WarningKind kind = classifyWarning(record.message);
    // Not opening the scene is the outcome, told before anything else.
    if (kind == WarningKind::OpenFailed) continue;
    ++warnings;
    for (Group& group : groups)
      if (group.kind == kind && group.count++ == 0) group.example = firstLine(withoutFolder(record.message), kExampleLength);
  }
  if (warnings + errors + missingTextures.size() == 0) {
    out << "glowbox-import: no warnings"
        << (logLevel == "ERROR" ? " (at log level ERROR the log keeps none)\n" : "\n");
    return;
  }
  out << "glowbox-import: warnings:\n";
  for (const Group& group : groups)
    if (group.count)
      out << "  " << std::setw(5) << group.count << "  " << std::left << std::setw(kKindWidth) << describeKind(group.kind)
          << std::right << "  " << group.example << "\n";
  if (!missingTextures.empty())
    out << "  " << std::setw(5) << missingTextures.size() << "  " << std::left << std::setw(kKindWidth)
        << "texture files not found" << std::right << "  " << firstLine(missingTextures.front(), kExampleLength) << "\n";
  if (errors)
    out << "  " << std::setw(5) << errors << "  " << std::left << std::setw(kKindWidth) << "ERROR records" << std::right
        << "  " << firstLine(withoutFolder(lastError), kExampleLength) << " (the last)\n";
}

void printSceneLine(std::ostream& out, const ImporterRun& run, const SceneOutcome& outcome) {
  switch (outcome.verdict) {
    case Verdict::Converted:
      out << "  converted      " << run.scene << " -> " << run.output;
      if (outcome.summarized) {
        out << ": " << outcome.summary.triangles << " triangles";
        if (const std::size_t missing = outcome.summary.missingTextures())
          out << ", " << missing << (missing == 1 ? " texture file" : " texture files") << " not found";
      }
      out << "\n";
      return;
    case Verdict::NotConverted:
      out << "  not converted  " << run.scene << ": " << outcome.reason << "\n";
      return;
    case Verdict::ImporterFailed:
      out << "  failed         " << run.scene << ": " << outcome.reason << "\n";
      return;
  }
}

std::string tidyPath(const std::string& path) {
  std::string tidy;
  for (char c : path) {
    const bool separator = sys::kFolderSeparators.find(c) != std::string_view::npos;
    // A Windows network path keeps the two backslashes it starts with.
    const bool uncStart = c == '\\' && tidy == "\\";
    if (!separator || tidy.empty() || tidy.back() != c || uncStart) tidy.push_back(c);
  }
  return tidy;
}
