// Replays every input the stream fuzzer once failed on, with the fuzzer's own checks.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "StreamChecks.h"

TEST(StreamRegressions, EveryStoredInputPassesTheFuzzerChecks) {
    const std::filesystem::path folder = std::filesystem::path(ORTHOVANE_TEST_DATA) / "regressions";
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(ov::checks::CheckInput(data), "") << entry.path().filename();
        ++count;
    }
    EXPECT_GT(count, 0) << "no inputs found in " << folder;
}
