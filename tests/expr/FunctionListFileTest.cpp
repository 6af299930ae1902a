#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

#include "ExprTestSupport.h"
#include "expr/FunctionListFile.h"

using namespace ov;

namespace {

std::string TempPath(const std::string& name) {
    return testing::TempDir() + "/" + name;
}

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void Spit(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

} // namespace

TEST(FunctionListFile, WritesHeaderCountAndOneRecordPerLine) {
    FunctionList list{test::Definition("F(X)", "X*X")};
    list[0].Description = "square";
    EXPECT_EQ(FunctionListText(list), "--FNL 1.0--\r\n1\r\nF;1;X;X*X;square\r\n");
    EXPECT_EQ(FunctionListText({}), "--FNL 1.0--\r\n0\r\n");
}

TEST(FunctionListFile, RoundTripThroughAFile) {
    FunctionList list{test::Definition("F(X)", "X*X"), test::Definition("G(A, B)", "F(A)+B"),
                      test::Definition("K", "7")};
    list[1].Description = "uses F";
    const std::string path = TempPath("roundtrip.fnl");
    std::string message;
    ASSERT_TRUE(WriteFunctionListFile(path, list, message)) << message;
    FunctionList read;
    ASSERT_TRUE(ReadFunctionListFile(path, read, message)) << message;
    ASSERT_EQ(read.size(), 3u);
    EXPECT_EQ(read[1].GetNameArgs(), "G(A, B)");
    EXPECT_EQ(read[1].Body, "F(A)+B");
    EXPECT_EQ(read[1].Description, "uses F");
    EXPECT_EQ(read[2].Name, "K");
    // And the functions work after reading.
    const auto o = test::Eval("G(3, 1)", &read);
    EXPECT_TRUE(o.ok) << o.message;
    EXPECT_EQ(o.value, 10);
}

TEST(FunctionListFile, AcceptsLineFeedsAndBlanksAroundTheCount) {
    FunctionList read;
    std::string message;
    ASSERT_TRUE(ParseFunctionListText("--FNL 1.0--\n 2 \nA;0;1;\nB;0;2;\n", "x.fnl", read, message)) << message;
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[1].Body, "2");
    // A malformed record is read as far as it goes.
    ASSERT_TRUE(ParseFunctionListText("--FNL 1.0--\r\n1\r\nJustAName\r\n", "x.fnl", read, message));
    EXPECT_EQ(read[0].Name, "JustAName");
    EXPECT_EQ(read[0].Body, "");
}

TEST(FunctionListFile, FailureMessages) {
    FunctionList read{test::Definition("Keep", "1")};
    std::string message;
    for (const char* text : {"--FNL 1.1--\r\n0\r\n", " --FNL 1.0--\r\n0\r\n", "", "hello"}) {
        EXPECT_FALSE(ParseFunctionListText(text, "f.fnl", read, message)) << text;
        EXPECT_EQ(message, "Invalid function list file");
    }
    for (const char* text : {"--FNL 1.0--\r\n", "--FNL 1.0--\r\n3\r\nA;0;1;\r\n", "--FNL 1.0--\r\nmany\r\n",
                             "--FNL 1.0--\r\n-1\r\n"}) {
        EXPECT_FALSE(ParseFunctionListText(text, "f.fnl", read, message)) << text;
        EXPECT_EQ(message, "Error reading from file 'f.fnl'");
    }
    ASSERT_EQ(read.size(), 1u); // failures leave the list alone
    EXPECT_EQ(read[0].Name, "Keep");

    const std::string missing = TempPath("does-not-exist.fnl");
    EXPECT_FALSE(ReadFunctionListFile(missing, read, message));
    EXPECT_EQ(message, "Unable to open file '" + missing + "'");

    const std::string dir = TempPath("a-folder.fnl");
    ::mkdir(dir.c_str(), 0755);
    EXPECT_FALSE(WriteFunctionListFile(dir, read, message));
    EXPECT_EQ(message, "Unable to create file '" + dir + "'");
    const std::string noFolder = TempPath("no/such/folder.fnl");
    EXPECT_FALSE(WriteFunctionListFile(noFolder, read, message));
    EXPECT_EQ(message, "Unable to create file '" + noFolder + "'");
}

TEST(FunctionListFile, AFailedWriteKeepsTheOldFile) {
    const std::string path = TempPath("keep.fnl");
    Spit(path, "old contents");
    ::chmod(testing::TempDir().c_str(), 0755);
    // Writing into a read-only folder cannot create the temporary file.
    const std::string dir = TempPath("readonly");
    ::mkdir(dir.c_str(), 0755);
    const std::string inside = dir + "/list.fnl";
    Spit(inside, "old contents");
    ::chmod(dir.c_str(), 0555);
    std::string message;
    const bool wrote = WriteFunctionListFile(inside, {test::Definition("F", "1")}, message);
    ::chmod(dir.c_str(), 0755);
    if (::geteuid() != 0) { // root ignores folder permissions
        EXPECT_FALSE(wrote);
        EXPECT_EQ(Slurp(inside), "old contents");
    }
    // Line breaks inside a value cannot split a record.
    ASSERT_TRUE(WriteFunctionListFile(path, {test::Definition("F", "1\r\n+2")}, message));
    FunctionList read;
    ASSERT_TRUE(ReadFunctionListFile(path, read, message));
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(test::Eval(read[0].Body).value, 3);
}
