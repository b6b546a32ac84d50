#include "common/ImportArgs.h"

#include "common/Base64.h"

#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <locale>
#include <sstream>

namespace {

constexpr int kKeyCount = LAST + 1;

// Indexed by key number; 13 has no name.
constexpr const char* kDumpNames[kKeyCount] = {
    "MAJOR_VERSION", "MINOR_VERSION",      "COMMAND",          "TESSELLATION_QUALITY", "LOGLEVEL",
    "CURVERADIUS",   "SMOOTH_CURVES",      "INCLUDE_NURBS",    "COLLAPSE_HIERARCHY",   "SPLIT_LAYERS",
    "FRAME",         "IMPORT_FILENAME",    "OUTPUT_FILENAME",  nullptr,                "DEBUGSCN",
    "TESSELLATE",    "TEXTURE_FOLDER",     "GROUP_BY_SHADER",  "COMPUTE_NORMALS",      "SEPARATE_PARTS",
    "UNIQUE_MATERIALS", "EXPERIMENTAL",    "GROUP_TYPE",       "ALT_TESSELLATION",     "DESIRED_UNIT",
    "LAST"};

constexpr const char* kLowerNames[kKeyCount] = {
    "major_version", "minor_version",      "command",          "tessellation_quality", "loglevel",
    "curveradius",   "smooth_curves",      "include_nurbs",    "collapse_hierarchy",   "split_layers",
    "frame",         "import_filename",    "output_filename",  nullptr,                "debugscn",
    "tessellate",    "texture_folder",     "group_by_shader",  "compute_normals",      "separate_parts",
    "unique_materials", "experimental",    "group_type",       "alt_tessellation",     "desired_unit",
    "last"};

// atoi's reading (leading blanks, optional sign, digits up to the first
// non-digit, 0 without digits), but saturating instead of undefined on overflow.
int toInt(const std::string& text) {
  const long value = std::strtol(text.c_str(), nullptr, 10);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

char* copyOf(const char* text) {
  const size_t size = std::strlen(text) + 1;
  char* copy = static_cast<char*>(std::malloc(size));
  if (copy) std::memcpy(copy, text, size);
  return copy;
}

}  // namespace

ImportArgs::ImportArgs() {
  setInt(MAJOR_VERSION, 6);
  setInt(MINOR_VERSION, 2);
}

ImportArgs::ImportArgs(int argc, char** argv) {
  for (int i = 1; i < argc && argv && argv[i]; ++i) {
    std::string argument = argv[i];
    // A launcher may quote the argument; whatever closes the quote goes too.
    if (!argument.empty() && argument.front() == '"') {
      argument.erase(0, 1);
      if (!argument.empty()) argument.pop_back();
    }
    const std::string decoded = base64::decode(argument);
    const size_t blank = decoded.find(' ');
    const std::string keyText = blank == std::string::npos ? decoded : decoded.substr(0, blank);
    std::string value = blank == std::string::npos ? decoded : decoded.substr(blank + 1);
    values[toInt(keyText)] = std::move(value);
  }
}

bool ImportArgs::has(int key) const { return values.find(key) != values.end(); }

void ImportArgs::setString(int key, std::string value) { values[key] = std::move(value); }

std::string ImportArgs::getString(int key, std::string defaultValue) const {
  if (!has(key)) return defaultValue;
  return values.at(key);
}

char* ImportArgs::getCString(int key, const char* defaultValue) const {
  if (!has(key)) return copyOf(defaultValue ? defaultValue : "");
  return copyOf(getString(key, std::string()).c_str());
}

int ImportArgs::getInt(int key, int defaultValue) const {
  if (!has(key)) return defaultValue;
  return toInt(values.at(key));
}

void ImportArgs::setInt(int key, int value) { values[key] = std::to_string(value); }

bool ImportArgs::getBool(int key, bool defaultValue) const {
  if (!has(key)) return defaultValue;
  const std::string& text = values.at(key);
  return !(text == "0" || text == "false");
}

void ImportArgs::setBool(int key, bool value) { values[key] = value ? "true" : "false"; }

double ImportArgs::getDouble(int key, double defaultValue) const {
  if (!has(key)) return defaultValue;
  return std::strtod(values.at(key).c_str(), nullptr);
}

void ImportArgs::setDouble(int key, double value) {
  std::ostringstream text;
  // The stored text is read back with strtod in the "C" locale: never a decimal comma.
  text.imbue(std::locale::classic());
  text << value;
  values[key] = text.str();
}

int ImportArgs::argc() const { return static_cast<int>(values.size()) + 1; }

char** ImportArgs::toArgv(const std::string& programName) const {
  std::vector<std::string> encoded;
  encode(encoded);
  char** argv = static_cast<char**>(std::calloc(encoded.size() + 2, sizeof(char*)));
  if (!argv) return nullptr;
  argv[0] = copyOf(programName.c_str());
  for (size_t i = 0; i < encoded.size(); ++i) argv[i + 1] = copyOf(encoded[i].c_str());
  return argv;
}

void ImportArgs::freeArgv(char** argv) {
  if (!argv) return;
  for (char** arg = argv; *arg; ++arg) std::free(*arg);
  std::free(argv);
}

void ImportArgs::encode(std::vector<std::string>& out) const {
  for (const auto& [key, value] : values) out.push_back(base64::encode(std::to_string(key) + " " + value));
}

std::string ImportArgs::nameOfKey(int key) {
  if (key < 0 || key >= kKeyCount || !kDumpNames[key]) return "could not find stirng for import key!";
  return kDumpNames[key];
}

int ImportArgs::keyFromName(std::string name) {
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (int key = 0; key < kKeyCount; ++key)
    if (kLowerNames[key] && name == kLowerNames[key]) return key;
  std::cout << "I could not find a key for: " << name << std::endl;
  return -1;
}

std::ostream& operator<<(std::ostream& out, const ImportArgs& args) {
  for (const auto& [key, value] : args.entries()) out << ImportArgs::nameOfKey(key) << ": " << value << std::endl;
  return out;
}
