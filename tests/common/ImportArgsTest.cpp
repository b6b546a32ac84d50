#include "common/ImportArgs.h"

#include "common/Base64.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <type_traits>

static_assert(std::is_polymorphic_v<ImportArgs>);
static_assert(!std::has_virtual_destructor_v<ImportArgs>);

namespace {

// Builds the settings from literal arguments, the program path first.
ImportArgs decodeArgs(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), "importer.exe");
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  return ImportArgs(static_cast<int>(arguments.size()), argv.data());
}

std::string dump(const ImportArgs& args) {
  std::ostringstream out;
  out << args;
  return out.str();
}

TEST(ImportArgsDecoding, EachArgumentGivesOneKeyAndItsTextAndTheLaterOfTwoWins) {
  const struct {
    std::string argument;
    std::map<int, std::string> entries;
  } cases[] = {
      {"MCA2", {{MAJOR_VERSION, "6"}}},
      {"NCBERUJVRw==", {{LOGLEVEL, "DEBUG"}}},
      // Double quotes around an argument are ignored, and whatever closes the quote is dropped.
      {"\"NCBERUJVRw==\"", {{LOGLEVEL, "DEBUG"}}},
      {"\"NCBERUJVRw==X", {{LOGLEVEL, "DEBUG"}}},
      {"\"", {{0, ""}}},  // a lone quote leaves nothing to decode
      {"MTIgQzovTXkgU2NlbmVzL2EgYi5kYWU=", {{OUTPUT_FILENAME, "C:/My Scenes/a b.dae"}}},  // later blanks are kept
      {"NCA=", {{LOGLEVEL, ""}}},
      {"Nw==", {{INCLUDE_NURBS, "7"}}},  // without a blank the text is both key and value
      // The key text is read like atoi.
      {base64::encode("+5 plus"), {{5, "plus"}}},
      {base64::encode("-3 minus"), {{-3, "minus"}}},
      {base64::encode("12abc tail"), {{12, "tail"}}},
      {base64::encode("\t9 tab"), {{9, "tab"}}},
      {base64::encode(" 12 x"), {{0, "12 x"}}},  // a leading blank splits there: no digits, key 0
      {"!!!", {{0, ""}}},
      {"NCBE RUJVRw==", {{LOGLEVEL, "D"}}},  // decoding stops at the blank
      {base64::encode("words only"), {{0, "only"}}},
      {base64::encode("11 caf\xC3\xA9\t\x01"), {{IMPORT_FILENAME, "caf\xC3\xA9\t\x01"}}},  // bytes kept as they are
  };
  for (const auto& c : cases) EXPECT_EQ(decodeArgs({c.argument}).entries(), c.entries) << c.argument;
  // The later of two arguments for one key wins.
  const ImportArgs args = decodeArgs({base64::encode("4 DEBUG"), base64::encode("0 6"), base64::encode("4 ERROR")});
  EXPECT_EQ(args.entries(), (std::map<int, std::string>{{MAJOR_VERSION, "6"}, {LOGLEVEL, "ERROR"}}));
  EXPECT_EQ(args.argc(), 3);
}

TEST(ImportArgsGetters, NoArgumentsLeaveTheTableEmptyAbsentKeysGiveTheDefaultAndDefaultBuiltIsVersionSixTwo) {
  const ImportArgs args = decodeArgs({});
  EXPECT_TRUE(args.entries().empty());
  EXPECT_EQ(dump(args), "");
  EXPECT_EQ(args.argc(), 1);
  EXPECT_TRUE(ImportArgs(0, nullptr).entries().empty());
  EXPECT_FALSE(args.has(FRAME));
  EXPECT_EQ(args.getString(OUTPUT_FILENAME, "-"), "-");
  EXPECT_EQ(args.getInt(FRAME, -1), -1);
  EXPECT_TRUE(args.getBool(COLLAPSE_HIERARCHY, true));
  EXPECT_FALSE(args.getBool(INCLUDE_NURBS, false));
  EXPECT_DOUBLE_EQ(args.getDouble(CURVERADIUS, 0.25), 0.25);
  // A default-built table speaks argument version 6.2.
  const ImportArgs versioned;
  EXPECT_EQ(versioned.entries(), (std::map<int, std::string>{{MAJOR_VERSION, "6"}, {MINOR_VERSION, "2"}}));
  EXPECT_EQ(versioned.argc(), 3);
}

TEST(ImportArgsGetters, GetBoolIsFalseOnlyForZeroAndLowerCaseFalse) {
  const std::pair<const char*, bool> table[] = {
      {"0", false},   {"false", false}, {"", true},    {"1", true},      {"true", true},
      {"False", true}, {"FALSE", true}, {"no", true},  {"yes", true},    {"00", true},
      {"false ", true}, {" 0", true}};
  ImportArgs args;
  for (const auto& [text, expected] : table) {
    args.setString(SPLIT_LAYERS, text);
    EXPECT_EQ(args.getBool(SPLIT_LAYERS, !expected), expected) << '"' << text << '"';
  }
}

TEST(ImportArgsGetters, NumbersAreReadLikeAtoiAndAtofAndCStringsAreCopies) {
  ImportArgs args;
  for (const auto& [text, want] : {std::pair{" 42frames", 42}, {"none", 0}, {"-7", -7}}) {
    args.setString(FRAME, text);
    EXPECT_EQ(args.getInt(FRAME, -1), want) << text;
  }
  for (const auto& [text, want] : {std::pair{"2.5e-1mm", 0.25}, {"wide", 0.0}}) {
    args.setString(CURVERADIUS, text);
    EXPECT_DOUBLE_EQ(args.getDouble(CURVERADIUS, 1.0), want) << text;
  }
  // getCString returns an independent copy.
  args.setString(IMPORT_FILENAME, "scene.ma");
  char* copy = args.getCString(IMPORT_FILENAME, "-");
  char* fallback = args.getCString(OUTPUT_FILENAME, "-");
  ASSERT_NE(copy, nullptr);
  copy[0] = 'S';
  EXPECT_STREQ(copy, "Scene.ma");
  EXPECT_STREQ(fallback, "-");
  EXPECT_EQ(args.getString(IMPORT_FILENAME, ""), "scene.ma");
  std::free(copy);
  std::free(fallback);
}

TEST(ImportArgsSetters, StoreTheirTextFormsAndDoublesLikePercentG) {
  ImportArgs args;
  args.setInt(FRAME, -12);
  args.setBool(DEBUGSCN, true);
  args.setBool(TESSELLATE, false);
  EXPECT_EQ(std::tuple(args.getString(FRAME, ""), args.getString(DEBUGSCN, ""), args.getString(TESSELLATE, "")),
            std::tuple("-12", "true", "false"));
  EXPECT_FALSE(args.getBool(TESSELLATE, true));
  // Doubles take six significant digits, like %g.
  for (double value : {0.1, 100.0, 1234567.0, 3.14159265, -2.5e-7, 0.0, 1e21}) {
    char expected[64];
    std::snprintf(expected, sizeof expected, "%g", value);
    args.setDouble(CURVERADIUS, value);
    EXPECT_EQ(args.getString(CURVERADIUS, ""), expected) << value;
  }
}

TEST(ImportArgsNames, NameOfKeyAndKeyFromNameInvertEachOther) {
  for (const auto& [key, name] : {std::pair{MAJOR_VERSION, "MAJOR_VERSION"}, {OUTPUT_FILENAME, "OUTPUT_FILENAME"},
                                  {DEBUGSCN, "DEBUGSCN"}, {LAST, "LAST"}})
    EXPECT_EQ(ImportArgs::nameOfKey(key), name);
  for (int key : {13, 26, -1, 1000})
    EXPECT_EQ(ImportArgs::nameOfKey(key), "could not find stirng for import key!") << key;
  // keyFromName ignores case and inverts nameOfKey.
  EXPECT_EQ(ImportArgs::keyFromName("Output_FileName"), OUTPUT_FILENAME);
  EXPECT_EQ(ImportArgs::keyFromName("last"), LAST);
  for (int key = 0; key <= LAST; ++key)
    if (key != 13) { EXPECT_EQ(ImportArgs::keyFromName(ImportArgs::nameOfKey(key)), key); }
  // Unknown names are reported on standard output, lower-cased but never trimmed.
  for (const auto& [name, shown] : {std::pair{"Bogus_Key", "bogus_key"}, {"output_filename ", "output_filename "}}) {
    testing::internal::CaptureStdout();
    EXPECT_EQ(ImportArgs::keyFromName(name), -1) << name;
    EXPECT_EQ(testing::internal::GetCapturedStdout(), std::string("I could not find a key for: ") + shown + "\n");
  }
}

TEST(ImportArgsDump, DumpAndEncodingListSettingsInAscendingKeyOrder) {
  ImportArgs args = decodeArgs({});
  args.setString(OUTPUT_FILENAME, "C:/My Scenes/a b.dae");
  args.setString(40, "x");
  args.setString(LOGLEVEL, "");
  args.setInt(MAJOR_VERSION, 6);
  EXPECT_EQ(dump(args),
            "MAJOR_VERSION: 6\n"
            "LOGLEVEL: \n"
            "OUTPUT_FILENAME: C:/My Scenes/a b.dae\n"
            "could not find stirng for import key!: x\n");
  std::vector<std::string> encoded{"kept"};
  args.encode(encoded);
  EXPECT_EQ(encoded, (std::vector<std::string>{"kept", "MCA2", "NCA=", "MTIgQzovTXkgU2NlbmVzL2EgYi5kYWU=", "NDAgeA=="}));
}

TEST(ImportArgsEncoding, ToArgvThenDecodingReproducesTheTable) {
  ImportArgs args = decodeArgs({});
  args.setString(MAJOR_VERSION, "6");
  args.setString(LOGLEVEL, "DEBUG 2 with blanks");
  args.setString(OUTPUT_FILENAME, "/tmp/a b/c.dal");
  args.setString(EXPERIMENTAL, "");
  args.setString(-4, "negative key");
  args.setString(IMPORT_FILENAME, "\xC3\xA9t\xC3\xA9 \"quoted\"");

  char** argv = args.toArgv("C:/bin/importer.exe");
  ASSERT_NE(argv, nullptr);
  EXPECT_STREQ(argv[0], "C:/bin/importer.exe");
  EXPECT_EQ(argv[args.argc()], nullptr);
  const ImportArgs decoded(args.argc(), argv);
  ImportArgs::freeArgv(argv);
  EXPECT_EQ(decoded.entries(), args.entries());
}

// RFC 4648, section 10.
const std::pair<const char*, const char*> kRfcVectors[] = {
    {"", ""},         {"f", "Zg=="},       {"fo", "Zm8="},        {"foo", "Zm9v"},
    {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"},
};

TEST(Base64, EncodesAndDecodesTheRfcVectorsAndEveryByteValue) {
  for (const auto& [plain, encoded] : kRfcVectors) {
    EXPECT_EQ(base64::encode(plain), encoded) << plain;
    EXPECT_EQ(base64::decode(encoded), plain) << encoded;
  }
  // Every byte value round-trips at every group length.
  std::string bytes;
  for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
  for (size_t length : {size_t{254}, size_t{255}, size_t{256}}) {
    const std::string slice = bytes.substr(0, length);
    EXPECT_EQ(base64::decode(base64::encode(slice)), slice) << length;
  }
}

TEST(Base64, DecodingStopsAtPaddingOrOutsideTheAlphabetAndKeepsWholeBytesOnly) {
  const std::pair<const char*, const char*> cases[] = {
      {"Zg==Zm9v", "f"}, {"Zm9v=Zm9v", "foo"}, {"=Zm9v", ""},
      {"Zm9v!Zm9v", "foo"}, {"Zm9v Zm9v", "foo"}, {"Zm9v\nZm9v", "foo"}, {"Zm9v\xC3\xA9Zm9v", "foo"}, {"!!!!", ""},
      {"Zm9v-_", "foo"},  // the URL-safe alphabet is not accepted
      // Short final groups: three characters give two bytes, two give one, one gives nothing.
      {"Zm9vYmE", "fooba"}, {"Zm9vYg", "foob"}, {"Zm9vY", "foo"}, {"Z", ""},
      {"+/+/", "\xFB\xFF\xBF"}};
  for (const auto& [encoded, plain] : cases) EXPECT_EQ(base64::decode(encoded), plain) << encoded;
  EXPECT_EQ(base64::encode("\xFB\xFF\xBF"), "+/+/");
}

}  // namespace
