// Replays the project files the project fuzzer once failed on, and its seed projects, with
// the fuzzer's own checks: read, save and read again, break apart, edit, undo and redo,
// import.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "ProjectChecks.h"

namespace {

// Runs every file of the folder through the checks; a folder that does not exist has none.
int ReplayFolder(const std::filesystem::path& folder) {
    int count = 0;
    if (!std::filesystem::is_directory(folder)) return count;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(ov::checks::CheckProject(data), "") << entry.path().filename();
        ++count;
    }
    return count;
}

} // namespace

TEST(ProjectRegressions, StoredInputsAndSeedProjectsPassTheFuzzerChecks) {
    // Inputs the fuzzer once failed on are kept in regressions/; the seed
    // projects (the model house, every object type, formulas, groups nested almost as deep
    // as a project may be) must pass as well.
    const std::filesystem::path data(ORTHOVANE_TEST_DATA);
    ReplayFolder(data / "regressions");
    EXPECT_GE(ReplayFolder(data / ".." / ".." / "fuzz" / "corpus-project"), 5);
}

TEST(ProjectRegressions, TheChecksSeeWhatTheyCheck) {
    // A saved text whose view volume rounds to nothing along x is the one accepted reason
    // for a failed second read; a real extent is not.
    ov::clsScene scene;
    scene.ViewVolumeMin.SetPoint(1, 0, 0);
    scene.ViewVolumeMax.SetPoint(1, 1, 1);
    EXPECT_TRUE(ov::checks::ViewVolumeDegenerate(scene));
    scene.ViewVolumeMax.SetPoint(1.000000000000001, 1, 1);
    EXPECT_FALSE(ov::checks::ViewVolumeDegenerate(scene));
    // Only the three derived values are left out of the comparison of saved texts.
    EXPECT_EQ(ov::checks::TextWithoutDerivedValues("A = 1\nMinorGrid = 2\nMajorGrid = 3\nNudgeOffset = 4\n"
                                                   "T = {\n  MinorGrid = 5\n}\n"),
              "A = 1\r\nT = {\r\nMinorGrid = 5\r\n}\r\n");
    // A formula that calls itself without end stops at the nesting limit, and the checks
    // find every nesting counter back at zero.
    EXPECT_EQ(ov::checks::CheckProject("Tree = {\nChildCount = 1\nChild1 = {\nNodeType = 5\nFunction = {\n"
                                       "TTo = 3\nTStep = 1\nFncCount = 3\nFnc1 = x;1;t;F(t);\nFnc2 = y;1;t;t;\n"
                                       "Fnc3 = z;1;t;t;\n}\n}\n}\nViewVolumeMax = {\nx = 1\ny = 1\nz = 1\n}\n"
                                       "FncCount = 1\nFnc1 = F;1;A;F(A)+1;\n"),
              "");
}
