#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "cli/CliCommands.h"

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

} // namespace

TEST(CliEval, PrintsOneLinePerExpression) {
    const Result r = Cli({"eval", "2+3*4", "1/2", "1E15*1", "1/100000", "0-1/8", "100"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "14\n0.5\n1E+15\n1E-05\n-0.125\n100\n");
    EXPECT_EQ(r.err, "");
}

TEST(CliEval, ErrorsAreReportedPerLineWithStatusOne) {
    const Result r = Cli({"eval", "--name", "Curve", "1/0", "sqrt(4)"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "error: Division By Zero in 'Curve'\n2\n");
}

TEST(CliEval, FunctionFilesAreSearchedInOrder) {
    const std::string a = testing::TempDir() + "/a.fnl", b = testing::TempDir() + "/b.fnl";
    std::ofstream(a, std::ios::binary) << "--FNL 1.0--\r\n1\r\nSq;1;X;X*X;\r\n";
    std::ofstream(b, std::ios::binary) << "--FNL 1.0--\r\n2\r\nSq;1;X;0;\r\nCube;1;X;X*Sq(X);\r\n";
    const Result r = Cli({"eval", "--functions", a, "--functions", b, "sq(3)", "cube(2)"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "9\n8\n");
}

TEST(CliEval, UsageAndFileErrorsExitWithTwo) {
    EXPECT_EQ(Cli({}).status, 2);
    EXPECT_EQ(Cli({"eval"}).status, 2);
    EXPECT_EQ(Cli({"eval", "--name"}).status, 2);
    EXPECT_EQ(Cli({"eval", "--name", "2bad", "1"}).status, 2);
    EXPECT_EQ(Cli({"frobnicate"}).status, 2);
    const Result missing = Cli({"eval", "--functions", "/nonexistent/x.fnl", "1"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "Unable to open file '/nonexistent/x.fnl'\n");
    EXPECT_EQ(missing.out, "");
    const std::string bad = testing::TempDir() + "/bad.fnl";
    std::ofstream(bad) << "not a list\n";
    EXPECT_EQ(Cli({"eval", "--functions", bad, "1"}).err, "Invalid function list file\n");
    // "--" lets an expression start with a dash.
    const Result dash = Cli({"eval", "--", "-1"});
    EXPECT_EQ(dash.status, 0);
    EXPECT_EQ(dash.out, "-1\n");
}

TEST(CliProject, NewResaveInfoAndProjectFunctions) {
    const std::string a = testing::TempDir() + "/cli-a.ovp", b = testing::TempDir() + "/cli-b.ovp";
    EXPECT_EQ(Cli({"new", a}).status, 0);
    EXPECT_EQ(Cli({"resave", a, b}).status, 0);
    std::ifstream fa(a, std::ios::binary), fb(b, std::ios::binary);
    std::stringstream sa, sb;
    sa << fa.rdbuf();
    sb << fb.rdbuf();
    EXPECT_EQ(sa.str(), sb.str());
    EXPECT_EQ(sa.str().substr(0, 17), "Name = Document\r\n");

    const Result info = Cli({"info", a});
    EXPECT_EQ(info.status, 0);
    EXPECT_NE(info.out.find("Nodes: root 1, line 47, group 10, ellipse 0, curve 0, function 0"), std::string::npos);
    EXPECT_NE(info.out.find("Bounding box: (0, 0, 0) - (8, 10, 7)"), std::string::npos);
    const Result json = Cli({"info", a, "--json"});
    EXPECT_NE(json.out.find("\"bbox\": {\"min\": [0, 0, 0], \"max\": [8, 10, 7]}"), std::string::npos);

    const Result missing = Cli({"info", "/nonexistent/p.ovp"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err.rfind("Unable to load the project '/nonexistent/p.ovp':", 0), 0u);

    // A project's functions are searched before the function files'.
    const std::string p = testing::TempDir() + "/cli-f.ovp";
    std::ofstream(p, std::ios::binary) << "Name = A\xff\x01\"B\r\nViewVolumeMin = {\r\nx = -1\r\ny = -1\r\nz = -1\r\n}\r\n"
                                          "ViewVolumeMax = {\r\nx = 1\r\ny = 1\r\nz = 1\r\n}\r\n"
                                          "FncCount = 1\r\nFnc1 = Sq;1;X;X*X+1;\r\n";
    const std::string f = testing::TempDir() + "/cli-f.fnl";
    std::ofstream(f, std::ios::binary) << "--FNL 1.0--\r\n1\r\nSq;1;X;X*X;\r\n";
    const Result eval = Cli({"eval", "--functions", f, "--project", p, "sq(3)"});
    EXPECT_EQ(eval.out, "10\n");
    // A stray byte becomes U+FFFD and a control character an escape: the JSON stays valid.
    const Result named = Cli({"info", p, "--json"});
    EXPECT_NE(named.out.find("\"name\": \"A\xEF\xBF\xBD\\u0001\\\"B\","), std::string::npos) << named.out;
}
