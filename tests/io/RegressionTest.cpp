// Replays every input the stream fuzzer once failed on, with the fuzzer's own checks.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "StreamChecks.h"

TEST(StreamRegressions, EveryStoredInputPassesTheFuzzerChecks) {
    const std::filesystem::path folder = std::filesystem::path(ORTHOVANE_TEST_DATA) / "regressions";
    ASSERT_TRUE(std::filesystem::is_directory(folder)) << folder;
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(ov::checks::CheckInput(data), "") << entry.path().filename();
        ++count;
    }
    EXPECT_GT(count, 0) << "no inputs found in " << folder;
}

TEST(StreamRegressions, TheChecksCatchABrokenReader) {
    // The checks compare against independent references; make sure they are not vacuous.
    EXPECT_EQ(ov::checks::CheckInput("A = 1\nB = {\n  C = x\\ty\n}\n"), "");
    EXPECT_TRUE(ov::checks::IsStrictNumber("-1.5D+3"));
    EXPECT_FALSE(ov::checks::IsStrictNumber("1.5e"));
    EXPECT_EQ(ov::checks::ReferenceNumber("1D-00000000000000000001"), 0.1);
    EXPECT_EQ(ov::checks::ReferenceUnescape("\\\\r\\r"), "\\r\r");
}
