// Reading takes bounded regular files only; saving respects links (symbolic and hard), modes,
// name and size limits, and says why it cannot.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
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
    mode_t Mode(const std::string& name) { struct stat st {}; return ::lstat(Path(name).c_str(), &st) ? 0 : st.st_mode; }
    // Saves in a child process that setup may restrict; what the save reported.
    std::string SaveInChild(const std::string& name, const std::string& text, void (*setup)()) {
        ::unlink(Path("report").c_str());
        const pid_t child = ::fork();
        if (child == 0) {
            if (setup) setup();
            std::string error;
            WriteTextFileAtomically(Path(name), text, error);
            std::ofstream(Path("report")) << error;
            _exit(0);
        }
        int status = 0;
        return ::waitpid(child, &status, 0) == child && WIFEXITED(status) ? Read("report") : "ended by a signal";
    }

    std::string dir = [] {
        std::string d = ::testing::TempDir() + "/textfileXXXXXX";
        return ::mkdtemp(d.data()) ? std::filesystem::path(d).lexically_normal().string() : ""; // as the saves name it
    }();
};

// Root passes every permission check: as another user it meets the refusal anyone else would.
static void AsNobody() {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) _exit(3);
}
static void WithSizeLimit() {
    IgnoreFileSizeLimitSignal();
    const rlimit limit{16, 16}; // room for the report, not for the saved text
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

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

TEST_F(TextFileTest, SavesFollowLinksKeepOrDeriveModesFitLongNamesAndLeaveTheOldFileWholeWhenRefused) {
    ASSERT_EQ(::chmod(dir.c_str(), 0777), 0); // for the save as another user
    const std::string longName = std::string(251, 'n') + ".ovp", stale = TemporaryFilePrefix("kept") + "stale0",
                      fresh = TemporaryFilePrefix("kept") + "fresh0", text(100, 'x');
    Put("kept", "old", 0640), Put("target", "old", 0604), Put("locked", "old", 0444), Put("limited", "old"), Put(stale, ""), Put(fresh, "");
    const timespec minutesAgo[2] = {{::time(nullptr) - 120, 0}, {::time(nullptr) - 120, 0}};
    ASSERT_TRUE(::utimensat(AT_FDCWD, Path(stale).c_str(), minutesAgo, 0) == 0 && ::symlink("target", Path("link").c_str()) == 0 &&
                ::symlink("made", Path("dangling").c_str()) == 0);
    // Files with a second name (a hard link) are written in place, so that both names keep showing one file.
    Put("linked", "old"), Put("linkedLimited", "old");
    ASSERT_EQ(::link(Path("linked").c_str(), Path("second").c_str()), 0);
    ASSERT_EQ(::link(Path("linkedLimited").c_str(), Path("secondLimited").c_str()), 0);
    ASSERT_EQ(::mkdir(Path("closed").c_str(), 0755), 0);
    Put("closed/open", "old", 0666);
    ASSERT_EQ(::chmod(Path("closed").c_str(), 0555), 0);
    const mode_t mask = ::umask(077);
    const struct { std::string saved, written; void (*setup)(); std::string error; mode_t mode; } cases[] = {
        {"new", "new", nullptr, "", 0600}, {"kept", "kept", nullptr, "", 0640}, {"link", "target", nullptr, "", 0604},
        {"dangling", "made", nullptr, "", 0600}, {longName, longName, nullptr, "", 0600},
        {"locked", "locked", AsNobody, "Permission denied", 0444}, {"limited", "limited", WithSizeLimit, "File too large", 0644},
        {"linked", "second", nullptr, "", 0644}, {"linkedLimited", "secondLimited", WithSizeLimit, "File too large", 0644},
        {"closed/open", "closed/open", AsNobody,
         "the folder '" + Path("closed/") + "' may not be written, and a safe save needs a temporary file beside the file", 0666},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SaveInChild(c.saved, text, c.setup), c.error) << c.saved;
        EXPECT_TRUE(Read(c.written) == (c.error.empty() ? text : "old") && Mode(c.written) == (S_IFREG | c.mode)) << c.saved;
    }
    ::umask(mask);
    EXPECT_TRUE(S_ISLNK(Mode("link")) && S_ISLNK(Mode("dangling")));
    EXPECT_EQ(std::filesystem::hard_link_count(Path("linked")), 2u);
    // The crashed save's temporary file went, and the failed saves' too; a save's of a moment ago stays.
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        EXPECT_TRUE(entry.path().filename().string().rfind(".ovsave-", 0) != 0 || entry.path() == Path(fresh)) << entry.path();
    EXPECT_NE(Mode(fresh), 0u);
    // Opening a file clears what its cut-short saves left, without a save.
    Put(stale, "");
    ASSERT_EQ(::utimensat(AT_FDCWD, Path(stale).c_str(), minutesAgo, 0), 0);
    RemoveStaleTemporaryFiles(Path("kept"));
    EXPECT_EQ(Mode(stale), 0u);
    EXPECT_NE(Mode(fresh), 0u);
}


TEST_F(TextFileTest, ALinkPlantedByAnotherUserInASharedStickyFolderIsNotFollowed) {
    if (::geteuid() != 0) GTEST_SKIP() << "links of another user are made by root only";
    // A shared folder like /tmp, holding links to files of ours: one planted by another user,
    // one to a folder, and one we made ourselves.
    Put("victim", "mine");
    ASSERT_EQ(::mkdir(Path("victims").c_str(), 0700), 0);
    ASSERT_EQ(::mkdir(Path("shared").c_str(), 0777), 0);
    ASSERT_EQ(::chmod(Path("shared").c_str(), 01777), 0);
    const uid_t other = 54321;
    for (const char* link : {"planted", "folder", "own"})
        ASSERT_EQ(::symlink(std::string(link) == "folder" ? "../victims" : "../victim", Path(std::string("shared/") + link).c_str()), 0);
    ASSERT_EQ(::lchown(Path("shared/planted").c_str(), other, other), 0);
    ASSERT_EQ(::lchown(Path("shared/folder").c_str(), other, other), 0);
    for (const auto& [saved, link] : {std::pair{"shared/planted", "shared/planted"}, {"shared/folder/new", "shared/folder"}}) {
        std::string error;
        EXPECT_FALSE(WriteTextFileAtomically(Path(saved), "attack", error)) << saved;
        EXPECT_EQ(error, "'" + Path(link) + "' is a link planted by another user; not saved");
    }
    EXPECT_EQ(Read("victim"), "mine");
    EXPECT_FALSE(std::filesystem::exists(Path("victims/new")));
    EXPECT_TRUE(S_ISLNK(Mode("shared/planted")));
    // Our own link is followed.
    std::string error;
    EXPECT_TRUE(WriteTextFileAtomically(Path("shared/own"), "saved", error)) << error;
    EXPECT_EQ(Read("victim"), "saved");
    ASSERT_EQ(::chmod(Path("shared").c_str(), 0777), 0); // not sticky: the kernel's rule does not apply either
    EXPECT_TRUE(WriteTextFileAtomically(Path("shared/planted"), "followed", error)) << error;
    EXPECT_EQ(Read("victim"), "followed");
}
