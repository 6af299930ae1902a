// Inputs that once exhausted memory or time end within their limits, with a message.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "HostileInputs.h"
#include "cli/CliCommands.h"
#include "shapes/CurvePoints.h"

using namespace ov;

namespace {

struct Result {
    int status;
    std::string out, err;
};

Result Cli(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = cli::RunMain(args, out, err);
    return {status, out.str(), err.str()};
}

int Count(const std::string& text, const std::string& part) {
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

class HostileInputs : public ::testing::Test {
protected:
    std::string Path(const std::string& name) const { return dir_.filePath(QString::fromStdString(name)).toStdString(); }
    QTemporaryDir dir_;
};

} // namespace

TEST_F(HostileInputs, TimeLimitStopsEveryLongCommandWhereverTheOptionStands) {
    // Sampling a curve whose formula runs a sum of 10^12 terms, and a single formula of two
    // million terms (no loop or call in it to pace the checks, only its operands).
    const std::string sum = Path("sum.ovp"), svg = Path("sum.svg");
    ASSERT_TRUE(hostile::WriteProject(sum, 1, [](long) { return hostile::Function(0, 10, 1, "SUM(I*t,I,1,1E12)"); }));
    // 100,000 functions in a chain, F99999 calling F99998 and so on down to F0.
    const std::string chain = Path("chain.fnl");
    std::ofstream(chain) << "--FNL 1.0--\n100000\nF0;1;X;X+1;\n" << [] {
        std::string lines;
        for (int i = 1; i < 100000; ++i) lines += 'F' + std::to_string(i) + ";1;X;F" + std::to_string(i - 1) + "(X)+1;\n";
        return lines;
    }();
    const std::vector<std::vector<std::string>> commands = {
        {"info", sum, "--max-seconds", "0.2"},
        {"segments", "--max-seconds", "0.2", sum, "--view", "Top"},
        {"render", sum, "--view", "Top", "--max-seconds", "0.2", "--out", svg},
        {"eval", "--max-seconds", "0.2", "SUM(I,I,1,1E15)"},
        {"eval", "--max-seconds", "0.01", hostile::ManyTerms(2000000)},
        {"eval", "--max-seconds", "0.01", "--functions", chain, "F99999(1)"},
    };
    for (const auto& command : commands) {
        const Result r = Cli(command);
        EXPECT_EQ(r.status, 2) << command[0] << ' ' << command[1];
        EXPECT_EQ(Count(r.err, "error: time limit reached\n"), 1) << command[0] << ' ' << r.err;
    }
    EXPECT_FALSE(QFile::exists(QString::fromStdString(svg))) << "a picture cut short is not written";

    for (const std::vector<std::string>& bad : {std::vector<std::string>{"info", sum, "--max-seconds"},
                                               {"info", "--max-seconds", "0", sum}, {"eval", "--max-seconds", "-1", "1"},
                                               {"eval", "--max-seconds", "abc", "1"}, {"eval", "--max-seconds", "inf", "1"}}) {
        const Result r = Cli(bad);
        EXPECT_EQ(r.status, 2) << bad[2];
        EXPECT_NE(r.err.find("--max-seconds needs a positive number of seconds"), std::string::npos) << r.err;
    }
    // After "--" an expression, not an option.
    EXPECT_EQ(Cli({"eval", "--", "--max-seconds"}).err, "");
    EXPECT_EQ(Cli({"eval", "--max-seconds", "100", "2+3"}).out, "5\n");
}

TEST_F(HostileInputs, CurvesBeyondThePointBudgetAreCutWithOneWarning) {
    struct Case {
        const char* name;
        std::string (*record)(long);
    };
    const Case cases[] = {
        {"ellipses", [](long) { return hostile::Ellipse(5000); }},
        {"beziers", [](long) { return hostile::Bezier(5000); }},
        {"functions", [](long) { return hostile::Function(0, 4999, 1); }},
    };
    const std::size_t limit = CurveBudget::Limit();
    CurveBudget::SetLimit(16000);
    for (const Case& c : cases) {
        const std::string path = Path(std::string(c.name) + ".ovp");
        ASSERT_TRUE(hostile::WriteProject(path, 20, c.record));
        const Result r = Cli({"info", path});
        EXPECT_EQ(r.status, 0) << c.name << r.err;
        EXPECT_EQ(Count(r.err, "warning: The curves would need more than 16000 points in all"), 1) << c.name << r.err;
        EXPECT_EQ(CurveBudget::InUse(), 0u) << c.name << ": the room of a closed project is given back";
    }
    CurveBudget::SetLimit(limit);
}

TEST_F(HostileInputs, MemoryRunningOutEndsTheCommandNotTheProgram) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves address space that an address-space limit cannot leave room for";
#else
    const std::string path = Path("huge.ovp");
    ASSERT_TRUE(hostile::WriteProject(path, 400, [](long) { return hostile::Ellipse(100000); }));
    // A child with 300 MB of address space more than it holds now, and no point budget:
    // 400 ellipses of 100,000 points (a gigabyte) cannot fit.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        rlimit limit{};
        std::ifstream statm("/proc/self/statm");
        long pages = 0;
        statm >> pages;
        limit.rlim_cur = limit.rlim_max = static_cast<rlim_t>(pages) * sysconf(_SC_PAGESIZE) + (300 << 20);
        setrlimit(RLIMIT_AS, &limit);
        CurveBudget::SetLimit(static_cast<std::size_t>(-1));
        const Result r = Cli({"info", path});
        _exit(r.status == 2 && r.err == "error: Not enough memory to read the project\n" ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
#endif
}

// Formulas run on a stack of the program's own size: the tool started with any stack
// limit (unlimited with an address-space limit, or a hard limit of 64 KB) gives the message.
TEST_F(HostileInputs, NoStackLimitLetsADeepFormulaCrash) {
    const std::string deep = Path("deep.fnl"), printed = Path("printed.txt");
    std::ofstream(deep) << "--FNL 1.0--\n1\nD;0;" << std::string(100000, '(') << '1' << std::string(100000, ')')
                        << ";\n";
    struct Limit {
        rlim_t stack, addressSpace;
    };
    std::vector<Limit> limits{{64 << 10, RLIM_INFINITY}};
#if !defined(__SANITIZE_ADDRESS__) // the sanitizer's shadow memory needs all address space
    limits.push_back({RLIM_INFINITY, rlim_t{1} << 30});
#endif
    for (const Limit& l : limits) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const rlimit stack{l.stack, l.stack}, space{l.addressSpace, l.addressSpace};
            setrlimit(RLIMIT_STACK, &stack);
            setrlimit(RLIMIT_AS, &space);
            if (!std::freopen(printed.c_str(), "w", stdout)) _exit(99);
            execl(ORTHOVANE_CLI, ORTHOVANE_CLI, "eval", "--functions", deep.c_str(), "D", static_cast<char*>(nullptr));
            _exit(98);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_EQ(WIFSIGNALED(status) ? WTERMSIG(status) : 0, 0) << "signal, stack limit " << l.stack;
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 1) << "stack limit " << l.stack;
        std::ifstream in(printed);
        const std::string out((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(out, "error: Formula is nested too deeply in 'D'\n") << "stack limit " << l.stack;
    }
}

TEST_F(HostileInputs, LoadingPeaksAtAFewTimesTheFileSize) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer's quarantine keeps freed memory resident";
#else
    const std::string path = Path("lines.ovp");
    ASSERT_TRUE(hostile::WriteProject(path, 150000, hostile::Line));
    const double size = static_cast<double>(QFileInfo(QString::fromStdString(path)).size());
    // In a child, whose peak resident size starts from what it holds now.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const auto kilobytes = [](const char* field) {
            std::ifstream status("/proc/self/status");
            std::string word;
            long value = 0;
            while (status >> word && word != field) {}
            status >> value;
            return value * 1024.0;
        };
        std::ofstream("/proc/self/clear_refs") << "5";
        const double before = kilobytes("VmRSS:");
        const Result r = Cli({"info", path});
        // Six times the file, and a little for what the command holds whatever it reads.
        const double peak = kilobytes("VmHWM:") - before, bound = 6 * size + 20e6;
        if (r.status != 0 || peak > bound) std::fprintf(stderr, "peak %.0f MB for %.0f MB\n", peak / 1e6, size / 1e6);
        _exit(r.status == 0 && peak <= bound ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
#endif
}
