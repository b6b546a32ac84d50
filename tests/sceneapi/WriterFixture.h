#pragma once
// Test support: a file writer on a temporary stream.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "sceneapi/orbScene_api_file.h"
#include "StreamCapture.h"

namespace sceneapitest {

class WriterTest : public ::testing::Test {
protected:
    // Readable text arrays by default; tests of binary blocks ask for them.
    void useWriter(bool binary) { writer_ = std::make_unique<orbScene_api_file>(capture_.stream(), binary); }

    orbScene_api_file& writer() {
        if (!writer_) useWriter(false);
        return *writer_;
    }

    std::string out() { return capture_.bytes(); }

    StreamCapture capture_;
    std::unique_ptr<orbScene_api_file> writer_;
};

}  // namespace sceneapitest
