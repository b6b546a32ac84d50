#include "tools/glowbox-import/LaunchOptions.h"

#include "tools/glowbox-import/System.h"

#include <algorithm>
#include <cctype>
#include <charconv>

const std::vector<std::string>& logLevelNames() {
  static const std::vector<std::string> names = {"ERROR",  "WARNING", "INFO",   "DEBUG",
                                                 "DEBUG1", "DEBUG2",  "DEBUG3", "DEBUG4"};
  return names;
}

namespace {

// Flags that take no value, and the option field each one sets.
struct Switch {
  const char* name;
  bool LaunchOptions::*field;
  bool value;
};

constexpr Switch kSwitches[] = {
    {"--readable", &LaunchOptions::readable, true},
    {"--include-nurbs", &LaunchOptions::includeNurbs, true},
    {"--no-tessellate", &LaunchOptions::tessellate, false},
    {"--split-layers", &LaunchOptions::splitLayers, true},
    {"--unique-materials", &LaunchOptions::uniqueMaterials, true},
    {"--no-collapse-hierarchy", &LaunchOptions::collapseHierarchy, false},
    {"--print-args", &LaunchOptions::printArgs, true},
    {"--help", &LaunchOptions::help, true},
    {"-h", &LaunchOptions::help, true},
};

// "--name=value" or "--name value"; `index` moves past what was consumed.
bool takeValue(const std::string& name, int argc, const char* const* argv, int& index, std::string& value,
               std::string& error) {
  const std::string argument = argv[index];
  if (argument.size() > name.size() && argument.compare(0, name.size(), name) == 0 && argument[name.size()] == '=') {
    value = argument.substr(name.size() + 1);
    return true;
  }
  if (argument != name) return false;
  if (index + 1 >= argc) {
    error = "option " + name + " needs a value";
    return true;
  }
  value = argv[++index];
  return true;
}

// More would only queue up on the processor; the bound keeps a typo such as
// "-j 1000000" from starting a process per scene of a large folder at once.
constexpr int kMaxJobs = 256;

bool parseJobs(const std::string& text, int& jobs) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 1 || value > kMaxJobs) return false;
  jobs = value;
  return true;
}

}  // namespace

ParseResult parseLaunchOptions(int argc, const char* const* argv) {
  ParseResult result;
  LaunchOptions& options = result.options;
  bool optionsEnded = false;
  for (int i = 1; i < argc && result.error.empty(); ++i) {
    const std::string argument = argv[i] ? argv[i] : "";
    const bool looksLikeOption = !optionsEnded && argument.size() > 1 && argument[0] == '-';
    if (!looksLikeOption) {
      if (argument.empty())
        result.error = "a scene file name is empty";
      else
        options.scenes.push_back(argument);
      continue;
    }
    if (argument == "--") {
      optionsEnded = true;
      continue;
    }
    std::string value;
    if (takeValue("-o", argc, argv, i, value, result.error) ||
        takeValue("--output", argc, argv, i, value, result.error)) {
      if (result.error.empty() && value.empty()) result.error = "the output file name is empty";
      options.output = value;
      continue;
    }
    if (takeValue("--log-level", argc, argv, i, value, result.error)) {
      if (!result.error.empty()) continue;
      std::string upper = value;
      for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      const auto& names = logLevelNames();
      if (std::find(names.begin(), names.end(), upper) == names.end())
        result.error = "unknown log level '" + value + "' (one of ERROR, WARNING, INFO, DEBUG, DEBUG1 .. DEBUG4)";
      options.logLevel = upper;
      continue;
    }
    // "-j4" as well as "-j 4": the spelling of make and its kin.
    const bool gluedJobs = argument.size() > 2 && argument.compare(0, 2, "-j") == 0 && argument[2] != '=';
    if (gluedJobs || takeValue("-j", argc, argv, i, value, result.error) ||
        takeValue("--jobs", argc, argv, i, value, result.error)) {
      if (gluedJobs) value = argument.substr(2);
      if (result.error.empty() && !parseJobs(value, options.jobs))
        result.error = "the number of jobs must be a whole number from 1 to " + std::to_string(kMaxJobs) +
                       " (got '" + value + "')";
      continue;
    }
    const Switch* match = nullptr;
    for (const Switch& candidate : kSwitches)
      if (argument == candidate.name) match = &candidate;
    if (!match) {
      result.error = "unknown option '" + argument + "'";
      continue;
    }
    options.*(match->field) = match->value;
  }
  if (result.error.empty() && options.scenes.empty() && !options.help) result.error = "no scene file given";
  return result;
}

std::string defaultOutputFor(const std::string& scene) {
  const size_t folderEnd = scene.find_last_of(sys::kFolderSeparators);
  const size_t nameStart = folderEnd == std::string::npos ? 0 : folderEnd + 1;
  const size_t dot = scene.find_last_of('.');
  // A leading dot ("/x/.hidden") names the file, it does not start an extension.
  if (dot == std::string::npos || dot <= nameStart) return scene + ".dal";
  return scene.substr(0, dot) + ".dal";
}

ImportArgs toImportArgs(const LaunchOptions& options, const std::string& scene, const std::string& output) {
  ImportArgs args;
  args.setString(IMPORT_FILENAME, scene);
  args.setString(OUTPUT_FILENAME, output);
  args.setString(LOGLEVEL, options.logLevel);
  args.setBool(DEBUGSCN, options.readable);
  args.setBool(INCLUDE_NURBS, options.includeNurbs);
  args.setBool(TESSELLATE, options.tessellate);
  args.setBool(SPLIT_LAYERS, options.splitLayers);
  args.setBool(UNIQUE_MATERIALS, options.uniqueMaterials);
  args.setBool(COLLAPSE_HIERARCHY, options.collapseHierarchy);
  return args;
}
