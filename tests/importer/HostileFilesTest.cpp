// Files made to hurt, at full size, through the real program: each must end
// with status 0, within a deadline, inside the memory the evaluation budget
// allows for its size, and with a log record that says what was wrong. The
// time and memory of each run are printed for the record. Optimised builds
// only: under the sanitizers the same bounds are covered at small sizes.

#include "tests/importer/ImporterRun.h"

#include <cstdio>
#include <iostream>

namespace {

using importer_test::recordsWith;
using importer_test::Sandbox;
using importer_test::settingsFor;
namespace fs = std::filesystem;

constexpr const char* kHeader = "//Maya ASCII 2020 scene\nrequires maya \"2020\";\n";

struct HostileFile {
    const char* name;
    std::string (*text)();
    const char* says;   // a part of a WARNING record in the log ("" when the run has nothing to warn about)
};

std::string parentChain() {
    std::string text = std::string(kHeader) + "createNode transform -n \"t0\";\n";
    for (int i = 1; i < 100000; ++i)
        text += "createNode transform -n \"t" + std::to_string(i) + "\" -p \"t" + std::to_string(i - 1) + "\";\n";
    return text;
}

std::string millionTransforms() {
    std::string text = kHeader;
    for (int i = 0; i < 1000000; ++i) text += "createNode transform -n \"t" + std::to_string(i) + "\";\n";
    return text;
}

std::string longLine() {
    std::string text = std::string(kHeader) + "createNode transform -n \"a\";\nsetAttr \".t\" -type \"double3\" ";
    text.reserve(text.size() + 200000100);
    for (int i = 0; i < 100000000; ++i) text += "1 ";
    return text + ";\ncreateNode transform -n \"b\";\n";
}

std::string zeros() { return std::string(size_t(64) << 20, '\0'); }

const HostileFile kFiles[] = {
    {"parent-chain-100k.ma", parentChain, "the hierarchy is deeper than 1024 levels at t1024"},
    {"transforms-1m.ma", millionTransforms, ""},
    {"line-200mb.ma", longLine, "line-200mb.ma:4: setAttr double3: 100000000 values"},
    {"zeros-64mb.ma", zeros, "its first bytes are all zero"},
};

}  // namespace

TEST(HostileFiles, EachEndsWellWithinItsTimeAndMemory) {
#if GLOWBOX_SANITIZED || !defined(NDEBUG)
    GTEST_SKIP() << "full-size hostile files run in optimised builds without sanitizers";
#endif
    Sandbox box;
    std::cout << "file                      MB  status  seconds  peak MB\n";
    for (const HostileFile& f : kFiles) {
        SCOPED_TRACE(f.name);
        double megabytes = 0;
        fs::path scene;
        {   // The text is gone before the run: a forked child's peak counts the test's pages.
            const std::string text = f.text();
            megabytes = double(text.size()) / (1 << 20);
            scene = box.write(f.name, text);
        }
        fs::remove(box.logPath());
        const fs::path output = box.root() / (std::string(f.name) + ".dal");
        const testproc::Outcome run = box.runImporter(settingsFor(scene.string(), output.string(), false), 120);
        std::printf("%-22s %6.1f  %6d  %7.2f  %7.0f\n", f.name, megabytes, run.status, run.seconds,
                    double(run.peakKb) / 1024);
        EXPECT_EQ(run.status, 0) << run.err;   // 142: the deadline ended it
        // What the evaluation budget grants a file of this size (floor + 16 per byte).
        EXPECT_LT(double(run.peakKb) / 1024, 1024 + 16 * megabytes);
        if (*f.says) { EXPECT_FALSE(recordsWith(box.log(), "WARNING", f.says).empty()) << f.says; }
        EXPECT_TRUE(recordsWith(box.log(), "ERROR", "").empty());
        fs::remove(scene);
        fs::remove(output);
    }
}
