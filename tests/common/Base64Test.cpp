#include "common/Base64.h"

#include <gtest/gtest.h>

namespace {

// RFC 4648, section 10.
const std::pair<const char*, const char*> kRfcVectors[] = {
    {"", ""},         {"f", "Zg=="},       {"fo", "Zm8="},        {"foo", "Zm9v"},
    {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"},
};

TEST(Base64, EncodesAndDecodesTheRfcVectors) {
  for (const auto& [plain, encoded] : kRfcVectors) {
    EXPECT_EQ(base64::encode(plain), encoded) << plain;
    EXPECT_EQ(base64::decode(encoded), plain) << encoded;
  }
}

TEST(Base64, RoundTripsEveryByteValueAtEveryGroupLength) {
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
