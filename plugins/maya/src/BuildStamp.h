#pragma once
// When this program was compiled, in the form the importer's records show it:
// weekday, month, day padded to two places with a blank, 24-hour time, year,
// as in "Thu Mar  3 13:26:36 2016".

#include <string>

// From the compiler's __DATE__ ("Mar  3 2016") and __TIME__ ("13:26:36").
// Text it cannot read is passed through after a "???" weekday.
std::string formatBuildStamp(const char* date, const char* time);

// This build's own stamp.
std::string buildStamp();
