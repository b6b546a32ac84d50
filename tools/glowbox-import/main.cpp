// glowbox-import: runs the Maya importer on scenes with readable options.
// The importer itself only understands Base64-encoded settings; this program
// builds them, starts one mayaimport per scene and tells a person what came
// of each.

#include "common/ImportArgs.h"
#include "common/Log.h"
#include "tools/glowbox-import/ImporterRuns.h"
#include "tools/glowbox-import/LaunchOptions.h"
#include "tools/glowbox-import/LogTail.h"
#include "tools/glowbox-import/SceneReport.h"
#include "tools/glowbox-import/System.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <iostream>
#include <map>
#include <string>
#include <system_error>
#include <thread>

namespace {

namespace fs = std::filesystem;

constexpr int kConverted = 0;
constexpr int kLaunchError = 1;
constexpr int kUsageError = 2;
constexpr int kNotConverted = 3;
constexpr const char* kImporterName = "mayaimport";
constexpr std::size_t kLinesPerSceneInBatch = 5;

void printHelp(std::ostream& out) {
  out << "Usage: glowbox-import SCENE... [options]\n"
         "\n"
         "Converts Maya scenes (.ma, .mb) into Glowbox scene files (.dal) by running\n"
         "the importer program " << kImporterName << " once per scene with the settings below.\n"
         "A SCENE may be a folder: every .ma and .mb file directly in it, by name.\n"
         "\n"
         "Options:\n"
         "  -o, --output OUT          one scene: the scene file to write; \"-\" writes to\n"
         "                            standard output; a folder (ending in \"/\") receives it.\n"
         "                            Several scenes: the folder to write them into,\n"
         "                            created when OUT ends in \"/\".\n"
         "                            Default: each SCENE with the extension .dal, beside it\n"
         "                            (SCENE.ma.dal when a .ma and a .mb share a name).\n"
         "  -j, --jobs N              run up to N importers at once (default: one per\n"
         "                            processor core).\n"
         "  --log-level LEVEL         detail of the log: ERROR, WARNING, INFO (default),\n"
         "                            DEBUG, DEBUG1, DEBUG2, DEBUG3 or DEBUG4.\n"
         "  --readable                write arrays as text and indent the scene file,\n"
         "                            instead of compact binary array blocks.\n"
         "  --include-nurbs           write NURBS surfaces as NURBS with trim curves\n"
         "                            instead of their tessellated meshes.\n"
         "  --no-tessellate           do not tessellate NURBS surfaces.\n"
         "  --split-layers            regroup the scene by Maya display layer.\n"
         "  --unique-materials        one material per object instead of shared ones.\n"
         "  --no-collapse-hierarchy   mark groups so the renderer keeps the hierarchy.\n"
         "  --print-args              print the encoded settings and what they decode to,\n"
         "                            and exit without importing.\n"
         "  -h, --help                show this text.\n"
         "\n"
         "The importer is looked for beside this program, then on PATH; the\n"
         "environment variable GLOWBOX_MAYAIMPORT names another one to run.\n"
         "\n"
         "After the import a report follows on standard error: whether the scene was\n"
         "converted (and if not, why), what the written scene holds, the warnings of\n"
         "the import by kind, and where the scene file and the log are. With several\n"
         "scenes it ends with one line per scene and a total. On a terminal a progress\n"
         "line shows how far the import has come.\n"
         "\n"
         "The importer's log is appended to:\n"
         "  " << tidyPath(logFilePath()) << "\n"
         "\n"
         "Exit status:\n"
         "  0  every scene was converted\n"
         "  1  the importer could not be found or started (the importer's own status\n"
         "     when it fails, as when it cannot create the scene file, is 1 as well)\n"
         "  2  a mistake on the command line; nothing was converted\n"
         "  3  a scene was not converted: missing, unreadable, not a Maya scene or of a\n"
         "     format not read, while the importer itself ended normally\n"
         "  any other: the importer's own exit status when it failed (128 + N when\n"
         "     signal N ended it); with several scenes, that of the first such scene.\n";
}

// Empty when no importer can be found.
std::string locateImporter() {
  if (const auto chosen = sys::environment("GLOWBOX_MAYAIMPORT"); chosen && !chosen->empty()) return *chosen;
  const std::string file = std::string(kImporterName) + sys::kExecutableSuffix;
  const std::string folder = sys::ownFolder();
  if (!folder.empty() && sys::isExecutableFile(folder + sys::kFolderSeparator + file))
    return folder + sys::kFolderSeparator + file;
  for (const std::string& dir : sys::searchPath())
    if (sys::isExecutableFile(dir + sys::kFolderSeparator + file)) return dir + sys::kFolderSeparator + file;
  return {};
}

void printArgs(const ImportArgs& args, const std::string& program) {
  char** argv = args.toArgv(program);
  std::cout << "program: " << program << "\n";
  std::cout << "encoded arguments:\n";
  for (int i = 1; i < args.argc(); ++i) std::cout << "  " << argv[i] << "\n";
  // Decoded from the encoded vector, not from `args`: what the importer will see.
  const ImportArgs decoded(args.argc(), argv);
  std::cout << "decoded settings:\n" << decoded;
  ImportArgs::freeArgv(argv);
}

bool isSceneName(const fs::path& path) {
  std::string extension = sys::utf8Of(path.extension());
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".ma" || extension == ".mb";
}

bool namesFolder(const std::string& path) {
  std::error_code error;
  return (!path.empty() && sys::kFolderSeparators.find(path.back()) != std::string_view::npos) ||
         fs::is_directory(sys::pathOf(path), error);
}

// One entry per scene to convert, folders expanded. False with `error` when
// the command line cannot be carried out as a whole.
bool collectScenes(const LaunchOptions& options, std::vector<ImporterRun>& runs, bool& several, std::string& error) {
  several = options.scenes.size() > 1;
  std::vector<std::string> scenes;
  for (const std::string& named : options.scenes) {
    std::error_code statusError;
    if (!fs::is_directory(fs::status(sys::pathOf(named), statusError))) {
      scenes.push_back(named);
      continue;
    }
    several = true;
    // Not into subfolders: those hold references, textures and caches, and
    // a scene's references are read by the importer from where they are.
    std::vector<std::string> found;
    std::error_code listError;
    for (fs::directory_iterator it(sys::pathOf(named), listError), end; !listError && it != end;
         it.increment(listError)) {
      std::error_code typeError;
      if (isSceneName(it->path()) && it->is_regular_file(typeError)) found.push_back(sys::utf8Of(it->path()));
    }
    if (listError) {
      error = "cannot read the folder " + named + ": " + listError.message();
      return false;
    }
    if (found.empty()) std::cerr << "glowbox-import: no .ma or .mb scene in the folder " << named << "\n";
    std::sort(found.begin(), found.end());
    scenes.insert(scenes.end(), found.begin(), found.end());
  }
  if (scenes.empty()) {
    error = "no scene file given";
    return false;
  }

  // A scene named twice, or named and found in its folder, is converted once.
  std::vector<fs::path> seen;
  for (const std::string& scene : scenes) {
    std::error_code ignored;
    const fs::path identity = fs::weakly_canonical(sys::pathOf(scene), ignored);
    if (std::find(seen.begin(), seen.end(), identity) != seen.end()) continue;
    seen.push_back(identity);
    ImporterRun run;
    run.scene = scene;
    run.name = scene;
    std::error_code statusError;
    const fs::file_status status = fs::status(sys::pathOf(scene), statusError);
    if (!fs::exists(status))
      run.refused = "scene file not found: " + scene;
    else if (!fs::is_regular_file(status))
      run.refused = "not a regular file: " + scene;
    runs.push_back(std::move(run));
  }
  return true;
}

// Fills in every run's output. False with `error` when outputs would clash.
bool chooseOutputs(const LaunchOptions& options, bool several, std::vector<ImporterRun>& runs, std::string& error) {
  const std::string& out = options.output;
  if (several && out == "-") {
    error = "several scenes cannot all be written to standard output (-o -)";
    return false;
  }
  if (several && !out.empty() && !namesFolder(out)) {
    error = "with several scenes, -o names a folder (end it with '/' to have it created): " + out;
    return false;
  }
  const bool intoFolder = !out.empty() && out != "-" && namesFolder(out);
  const auto place = [&](const std::string& name) {
    return intoFolder ? sys::utf8Of(sys::pathOf(out) / sys::pathOf(name).filename()) : name;
  };
  for (ImporterRun& run : runs)
    run.output = (out.empty() || intoFolder) ? place(defaultOutputFor(run.scene)) : out;

  // "x.ma" and "x.mb" of one folder would both write "x.dal": such scenes
  // keep their whole name instead.
  std::map<std::string, int> uses;
  for (const ImporterRun& run : runs) ++uses[run.output];
  for (ImporterRun& run : runs)
    if (uses[run.output] > 1) run.output = place(run.scene + ".dal");
  std::map<std::string, const ImporterRun*> writers;
  for (const ImporterRun& run : runs) {
    if (run.output == "-") continue;
    std::error_code ignored;
    const std::string identity = sys::utf8Of(fs::weakly_canonical(sys::pathOf(run.output), ignored));
    if (const auto [it, fresh] = writers.emplace(identity, &run); !fresh) {
      error = it->second->scene + " and " + run.scene + " would both be written to " + run.output;
      return false;
    }
    if (identity == sys::utf8Of(fs::weakly_canonical(sys::pathOf(run.scene), ignored))) {
      error = "the scene file " + run.scene + " would be overwritten by its own conversion";
      return false;
    }
  }
  return true;
}

std::size_t defaultJobs() {
  const unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : cores;
}

// The one scene's report: outcome first, then what it holds, what the log
// says, and where everything is.
int reportOne(const ImporterRun& run, const std::vector<LogRecord>& records, const std::string& logPath,
              const std::string& logLevel) {
  const SceneOutcome outcome = judgeRun(run, &records);
  if (outcome.verdict == Verdict::Converted) {
    std::cerr << "glowbox-import: converted " << run.scene;
    if (outcome.summarized) std::cerr << ": " << outcome.summary.triangles << " triangles";
    std::cerr << "\n";
    if (outcome.summarized) dal::printSummary(std::cerr, outcome.summary, dal::SummaryDetail::Brief);
    std::vector<std::string> missing;
    if (outcome.summarized)
      for (const dal::TextureUse& texture : outcome.summary.textures)
        if (!texture.found) missing.push_back(texture.file);
    printWarnings(std::cerr, records, missing, logLevel);
    std::cerr << "glowbox-import: log: " << logPath << "\n";
    if (outcome.summarized)
      std::cerr << "glowbox-import: scene written to " << run.output << " (" << outcome.outputBytes << " bytes)\n";
    else if (run.output != "-")
      std::cerr << "glowbox-import: scene written to " << run.output << "\n";
    return kConverted;
  }

  std::cerr << "glowbox-import: no scene was converted: " << outcome.reason << "\n";
  if (!run.refused.empty()) return kNotConverted;
  std::error_code error;
  const bool leftBehind = run.output != "-" && fs::is_regular_file(sys::pathOf(run.output), error);
  if (outcome.verdict == Verdict::NotConverted) {
    std::cerr << "glowbox-import: log: " << logPath << "\n";
    if (leftBehind)
      std::cerr << "glowbox-import: " << run.output << " holds no scene, only the file header ("
                << fs::file_size(sys::pathOf(run.output), error) << " bytes)\n";
    return kNotConverted;
  }
  // A failing importer says why in its last records.
  const LogRecord* lastError = nullptr;
  const LogRecord* lastWarning = nullptr;
  for (const LogRecord& record : records) {
    if (record.level == "ERROR") lastError = &record;
    if (record.level == "WARNING") lastWarning = &record;
  }
  if (!lastError && !lastWarning) {
    std::cerr << "glowbox-import: the log (" << logPath << ") holds no ERROR or WARNING record of this run\n";
  } else {
    std::cerr << "glowbox-import: from the log " << logPath << ":\n";
    if (lastError) std::cerr << "  last ERROR:   " << lastError->text << "\n";
    if (lastWarning) std::cerr << "  last WARNING: " << lastWarning->text << "\n";
  }
  if (leftBehind)
    std::cerr << "glowbox-import: " << run.output << " may be incomplete ("
              << fs::file_size(sys::pathOf(run.output), error) << " bytes)\n";
  return run.started && run.status ? *run.status : kLaunchError;
}

// Several scenes: the warnings of all runs together, then one line per
// scene and the total.
int reportMany(const std::vector<ImporterRun>& runs, const std::vector<LogRecord>& records, const std::string& logPath,
               const std::string& logLevel) {
  std::vector<SceneOutcome> outcomes;
  std::vector<std::string> missing;
  for (const ImporterRun& run : runs) {
    // Runs at once append to the one log, and a record names neither its
    // process nor (mostly) its scene, so no record is taken for one run's
    // own. A run's verdict rests on what is its own for certain: its exit
    // status, its scene file and its standard error, where the importer
    // says when it cannot open a scene. The log's warnings are counted for
    // all runs together.
    outcomes.push_back(judgeRun(run, nullptr));
    if (outcomes.back().summarized)
      for (const dal::TextureUse& texture : outcomes.back().summary.textures)
        if (!texture.found) missing.push_back(texture.file);
  }
  printWarnings(std::cerr, records, missing, logLevel);
  std::cerr << "glowbox-import: log: " << logPath << "\n";

  std::size_t converted = 0, triangles = 0;
  int failedStatus = 0;
  bool notStarted = false;
  for (std::size_t i = 0; i < runs.size(); ++i) {
    printSceneLine(std::cerr, runs[i], outcomes[i]);
    const SceneOutcome& outcome = outcomes[i];
    if (outcome.verdict == Verdict::Converted) {
      ++converted;
      if (outcome.summarized) triangles += outcome.summary.triangles;
    }
    if (outcome.verdict == Verdict::ImporterFailed) {
      if (!runs[i].started) notStarted = true;
      else if (failedStatus == 0) failedStatus = runs[i].status.value_or(kLaunchError);
    }
  }
  std::cerr << "total: " << runs.size() << (runs.size() == 1 ? " scene, " : " scenes, ") << converted << " converted, " << runs.size() - converted
            << " not converted, " << triangles << " triangles\n";
  if (notStarted) return kLaunchError;
  if (failedStatus != 0) return failedStatus;
  return converted == runs.size() ? kConverted : kNotConverted;
}

}  // namespace

int main(int argc, char** argv) {
  sys::prepareStandardStreams();
  const std::vector<std::string> arguments = sys::commandLine(argc, argv);
  std::vector<const char*> pointers;
  for (const std::string& argument : arguments) pointers.push_back(argument.c_str());
  const ParseResult parsed = parseLaunchOptions(static_cast<int>(pointers.size()), pointers.data());
  if (!parsed.error.empty()) {
    std::cerr << "glowbox-import: " << parsed.error << "\n"
              << "Try 'glowbox-import --help' for the options.\n";
    return kUsageError;
  }
  const LaunchOptions& options = parsed.options;
  if (options.help) {
    printHelp(std::cout);
    return 0;
  }

  std::vector<ImporterRun> runs;
  bool several = false;
  std::string error;
  if (!collectScenes(options, runs, several, error) || !chooseOutputs(options, several, runs, error)) {
    std::cerr << "glowbox-import: " << error << "\n";
    return kUsageError;
  }
  for (ImporterRun& run : runs) run.args = toImportArgs(options, run.scene, run.output);

  const std::string program = locateImporter();
  if (options.printArgs) {
    for (const ImporterRun& run : runs)
      if (run.refused.empty()) printArgs(run.args, program.empty() ? kImporterName : program);
    for (const ImporterRun& run : runs)
      if (!run.refused.empty()) std::cerr << "glowbox-import: " << run.refused << "\n";
    const bool allThere = std::all_of(runs.begin(), runs.end(), [](const ImporterRun& r) { return r.refused.empty(); });
    return allThere ? 0 : kNotConverted;
  }
  const bool anyToRun = std::any_of(runs.begin(), runs.end(), [](const ImporterRun& r) { return r.refused.empty(); });
  if (program.empty() && anyToRun) {
    std::cerr << "glowbox-import: cannot find " << kImporterName << " beside this program or on PATH\n";
    return kLaunchError;
  }
  if (!options.output.empty() && options.output != "-" && namesFolder(options.output)) {
    std::error_code made;
    fs::create_directories(sys::pathOf(options.output), made);
    if (made) {
      std::cerr << "glowbox-import: cannot create the folder " << options.output << ": " << made.message() << "\n";
      return kUsageError;
    }
  }

  const std::string logPath = tidyPath(logFilePath());
  const std::uintmax_t logStart = logSizeNow(logPath);
  RunSettings settings;
  settings.program = program;
  settings.jobs = options.jobs > 0 ? static_cast<std::size_t>(options.jobs) : defaultJobs();
  settings.nameLines = several;
  // A batch would drown its report in one scene's complaints; the log keeps
  // what the importer says about each problem.
  settings.linesPerRun = several ? kLinesPerSceneInBatch : 0;
  settings.showProgress =
      sys::standardErrorIsTerminal() && std::none_of(runs.begin(), runs.end(), [](const ImporterRun& r) { return r.output == "-"; });
  runImporters(runs, settings);
  const std::vector<LogRecord> records = recordsSince(logPath, logStart);
  return several ? reportMany(runs, records, logPath, options.logLevel)
                 : reportOne(runs.front(), records, logPath, options.logLevel);
}
