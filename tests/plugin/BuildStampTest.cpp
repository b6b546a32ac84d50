#include "plugins/maya/src/BuildStamp.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

TEST(BuildStamp, WeekdayIsWorkedOutFromTheDate) {
  EXPECT_EQ(formatBuildStamp("Mar  3 2016", "13:26:36"), "Thu Mar  3 13:26:36 2016");
  EXPECT_EQ(formatBuildStamp("May 27 2016", "12:26:22"), "Fri May 27 12:26:22 2016");
  EXPECT_EQ(formatBuildStamp("Oct 26 2015", "10:26:53"), "Mon Oct 26 10:26:53 2015");
  EXPECT_EQ(formatBuildStamp("Feb 29 2000", "00:00:00"), "Tue Feb 29 00:00:00 2000");
}

TEST(BuildStamp, UnreadableDateIsPassedThrough) {
  EXPECT_EQ(formatBuildStamp("Foo 99 2016", "01:02:03"), "??? Foo 99 2016 01:02:03");
  EXPECT_EQ(formatBuildStamp("", "01:02:03"), "???  01:02:03");
}

TEST(BuildStamp, OwnStampHasTheRecordForm) {
  EXPECT_TRUE(std::regex_match(buildStamp(), std::regex(R"((Sun|Mon|Tue|Wed|Thu|Fri|Sat) [A-Z][a-z]{2} [ 123]\d \d\d:\d\d:\d\d \d{4})")))
      << buildStamp();
}

}  // namespace
