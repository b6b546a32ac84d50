#pragma once
// The importer's settings. The renderer hands them over on the command line,
// one argument per setting: the Base64 encoding of "<key number> <value>",
// optionally wrapped in double quotes. ImportArgs decodes them into a table of
// texts indexed by key number and reads them back with typed getters, each
// falling back to a default the caller supplies.

#include <iosfwd>
#include <map>
#include <string>
#include <vector>

// Key numbers of the settings. The numbers are what the launcher encodes, so
// they never change; 13 is unused.
enum ImportKey {
  MAJOR_VERSION = 0,
  MINOR_VERSION = 1,
  COMMAND = 2,
  TESSELLATION_QUALITY = 3,
  LOGLEVEL = 4,
  CURVERADIUS = 5,
  SMOOTH_CURVES = 6,
  INCLUDE_NURBS = 7,
  COLLAPSE_HIERARCHY = 8,
  SPLIT_LAYERS = 9,
  FRAME = 10,
  IMPORT_FILENAME = 11,
  OUTPUT_FILENAME = 12,
  DEBUGSCN = 14,
  TESSELLATE = 15,
  TEXTURE_FOLDER = 16,
  GROUP_BY_SHADER = 17,
  COMPUTE_NORMALS = 18,
  SEPARATE_PARTS = 19,
  UNIQUE_MATERIALS = 20,
  EXPERIMENTAL = 21,
  GROUP_TYPE = 22,
  ALT_TESSELLATION = 23,
  DESIRED_UNIT = 24,
  LAST = 25  // end marker, carries no value
};

// The operations are virtual, yet the class is never derived from nor deleted
// through a base pointer: final says both and lets it go without a virtual
// destructor.
class ImportArgs final {
 public:
  // The argument version this importer speaks: MAJOR_VERSION 6, MINOR_VERSION 2.
  ImportArgs();
  // Decodes argv[1] .. argv[argc-1]; argv[0], the program path, is skipped.
  ImportArgs(int argc, char** argv);
  ImportArgs(const ImportArgs&) = default;
  ImportArgs& operator=(const ImportArgs&) = default;

  virtual bool has(int key) const;
  virtual void setString(int key, std::string value);
  virtual std::string getString(int key, std::string defaultValue) const;
  // A malloc'ed copy of the text (or of the default); release it with free().
  virtual char* getCString(int key, const char* defaultValue) const;
  virtual int getInt(int key, int defaultValue) const;
  virtual void setInt(int key, int value);
  // False only for the exact texts "0" and "false"; any other text is true.
  virtual bool getBool(int key, bool defaultValue) const;
  virtual void setBool(int key, bool value);
  virtual double getDouble(int key, double defaultValue) const;
  // Stored as a default-formatted stream writes it: six significant digits.
  virtual void setDouble(int key, double value);

  // Argument count of the encoded form, the program name included.
  int argc() const;
  // A null-terminated, malloc'ed argument vector: the program name, then the
  // encoded settings in ascending key order. Release it with freeArgv().
  char** toArgv(const std::string& programName) const;
  static void freeArgv(char** argv);
  // Appends one Base64 argument per setting, in ascending key order.
  void encode(std::vector<std::string>& out) const;

  static std::string nameOfKey(int key);
  // Case-insensitive; -1 (with a message on standard output) for unknown names.
  static int keyFromName(std::string name);

  const std::map<int, std::string>& entries() const { return values; }

 private:
  std::map<int, std::string> values;
};

// One line per setting, "<NAME>: <value>", each ended with std::endl.
std::ostream& operator<<(std::ostream& out, const ImportArgs& args);
