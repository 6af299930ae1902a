// Reading takes bounded regular files only.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "io/TextFile.h"

using namespace ov;

class TextFileTest : public ::testing::Test {
protected:
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string Path(const std::string& name) const { return dir + "/" + name; }
    void Put(const std::string& name, const std::string& text, mode_t mode = 0644) {
        std::ofstream(Path(name)) << text;
        ASSERT_EQ(::chmod(Path(name).c_str(), mode), 0);
    }
    std::string Read(const std::string& name, std::size_t limit = kMaxTextFileBytes) {
        std::string content = "before", error;
        const bool read = ReadTextFile(name[0] == '/' ? name : Path(name), content, error, limit);
        return read ? content : content.empty() ? error : "content kept";
    }

    std::string dir = [] { std::string d = ::testing::TempDir() + "/textfileXXXXXX"; return ::mkdtemp(d.data()) ? d : ""; }();
};

TEST_F(TextFileTest, OnlyRegularFilesWithinTheLimitAreReadAndNothingWaitsForAWriter) {
    Put("small", "0123456789"), Put("sparse", "");
    ASSERT_TRUE(::mkfifo(Path("pipe").c_str(), 0600) == 0 && ::truncate(Path("sparse").c_str(), kMaxTextFileBytes + 1) == 0);
    const std::string notRegular = "not a regular file", larger = "the file is larger than ", beyond = ", more than a project can be";
    const struct { std::string path; std::size_t limit; std::string result; } cases[] = {
        {"small", 10, "0123456789"}, {"small", 9, larger + "9 bytes" + beyond}, {"sparse", kMaxTextFileBytes, larger + "1 GB" + beyond},
        {"/proc/self/status", 100, larger + "100 bytes" + beyond}, // grows beyond its size of 0 as it is read
        {"pipe", 100, notRegular}, {"/dev/zero", 100, notRegular}, {dir, 100, notRegular}, {"missing", 100, "No such file or directory"},
    };
    for (const auto& c : cases) EXPECT_EQ(Read(c.path, c.limit), c.result) << c.path;
}
