#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "ProjectChecks.h"

// Inputs the project fuzzer once failed on and its seed projects (the model house, every object type,
// formulas, groups nested almost as deep as a project may be) pass its checks: read, save and read again,
// break apart, edit, undo and redo, import.
TEST(ProjectRegressions, StoredInputsAndSeedProjectsPassTheFuzzerChecks) {
    const std::filesystem::path data(ORTHOVANE_TEST_DATA);
    int seeds = 0;
    for (const auto& folder : {data / "regressions", data / ".." / ".." / "fuzz" / "corpus-project"}) {
        if (!std::filesystem::is_directory(folder)) continue;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (!entry.is_regular_file()) continue;
            std::ifstream in(entry.path(), std::ios::binary);
            const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            EXPECT_EQ(ov::checks::CheckProject(text), "") << entry.path().filename();
            seeds += folder.filename() == "corpus-project";
        }
    }
    EXPECT_GE(seeds, 5);
}
