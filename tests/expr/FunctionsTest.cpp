#include <gtest/gtest.h>

#include "ExprTestSupport.h"
#include "expr/FunctionCatalogue.h"
#include "expr/FunctionListFile.h"
#include "io/clsOldStream.h"
#include "platform/Prompt.h"

using namespace ov;
using namespace ov::test;

TEST(UserFunctions, CallsCountsScopesAndErrorsNamingTheCallee) {
    FunctionList functions{Definition("SQ(X)", "X*X"), Definition("Hyp(A, B)", "sqrt(sq(a)+sq(b))"),
                           Definition("Two", "2"), Definition("Inv(X)", "1/X"), Definition("Bad", "2 3"),
                           Definition("SIN(X)", "42")};
    FunctionList first{Definition("two", "20")}; // lists are searched in order, names without case
    FunctionListContext context({&first, &functions});
    clsFncDef caller = Definition("G(X)", "Hyp(X, X+1) + two + TWO()");
    EXPECT_EQ(Apply(caller, context, {3}).value, 5 + 20 + 20);
    EXPECT_TRUE(context.NestFunction("nothing", 1) == 0 && caller.Params[0].Value == 3); // not the callee's X
    EXPECT_EQ(Eval("SIN(0)", &functions).value, 0); // built-ins shadow user functions
    ExpectErrors({{"SQ", Count("few", "SQ")}, {"SQ(1,2)", Count("many", "SQ")}, {"X", "Function 'X' not defined"},
                  {"Two(1)", Count("many", "Two", "Two")}, // reported by the callee
                  {"Inv(0)", "Division By Zero in 'Inv'"}, {"Inv(1/0)", "Division By Zero in 'F'"},
                  {"Bad+1", "Syntax error at character '3' in 'Bad'"}},
                 &functions);
    // Without computing the callee's own count is not checked.
    EXPECT_TRUE(Eval("Two(1)", &functions, false).ok && !Eval("SQ(1,2)", &functions, false).ok);
    clsFncDef p = Definition("P(A, B)", "A-B"); // Evaluate checks its own count
    EXPECT_EQ(Apply(p, context, {1}).message + Apply(p, context, {1, 2, 3}).message,
              Count("few", "P", "P") + Count("many", "P", "P"));
    clsError error;
    double r = 0;
    p.Params[0].Value = 4;
    EXPECT_TRUE(p.EvaluateText(context, "a) junk", true, true, error, r) && r == 4); // the grammar ends at ')'
}

TEST(UserFunctions, RecursionIsBoundedAtOneHundredActiveCalls) {
    FunctionList functions{Definition("G", "G+1"), Definition("Depth(N)", "IF(N<2, 1, 1+Depth(N-1))"),
                           Definition("P(N)", "if(n>=100,n,((((((((P(n+1))))))))))")};
    ExpectErrors(
        {{"G", "Recursion is too deep in call to 'G'"}, {"Depth(101)", "Recursion is too deep in call to 'Depth'"}},
        &functions);
    EXPECT_EQ(Eval("Depth(100)", &functions).value, 100);
    EXPECT_EQ(Eval("P(1)", &functions).value, 100); // each call inside eight parentheses
    for (const clsFncDef& def : functions) EXPECT_EQ(def.NestCount, 0) << def.Name;
}

TEST(UserFunctions, LongComputationsAskWhetherToStop) {
    StopAfter context({}, 3);
    clsFncDef def = Definition("F", "SUM(I,I,1,1E9)");
    EXPECT_EQ(Apply(def, context).message, "Operation aborted");
    EXPECT_TRUE(context.asked == 3 && def.Params.empty()); // the index variable is gone again
    FunctionList functions{Definition("Fib(N)", "IF(N<2, N, Fib(N-1)+Fib(N-2))")};
    StopAfter fib({&functions}, 2); // wide recursion, none of it deep, is paced too
    clsFncDef call = Definition("F", "Fib(40)");
    EXPECT_TRUE(Apply(call, fib).message == "Operation aborted" && functions[0].NestCount == 0);
}

TEST(FncDef, HeadersAreParsedAsFarAsTheyAreValid) {
    clsFncDef d;
    EXPECT_TRUE(d.ParseName("H") && d.Params.empty());
    EXPECT_TRUE(d.ParseName("D(A, A)")); // duplicates are not the header's business
    for (const char* header : {"F()", "F(A,)", "F(1A)", "F(A", "2F", "", " F", "F G", "F(A B)", "F(A)x", "(A)", "F_1",
                               "F(A;B)"})
        EXPECT_FALSE(clsFncDef().ParseName(header)) << header;
    EXPECT_TRUE(!d.ParseName("F(A, 1B, C)") && d.Params.size() == 2 && d.Params[1].Name == "1B");
}

TEST(FncDef, TextsCopiesAndRecords) {
    clsFncDef d = Definition("Wave(T, Amp)", "Amp*sin(T)");
    d.Description = "a sine wave", d.Params[0].Value = 5, d.Params[1].Value = -0.125;
    EXPECT_EQ(d.GetNameVals() + Definition("K", "1").GetNameVals(), "Wave(5,-0.125)K");
    clsOldStream out, in;
    d.WriteData(out);
    EXPECT_EQ(out.BuildString(), "Wave;2;T;Amp;Amp*sin(T);a sine wave");
    Definition("G", "2").WriteData(out);
    in.ParseString(out.BuildString()); // records read one after another from one stream; values are not kept
    clsFncDef r, g;
    r.ReadData(in), g.ReadData(in);
    EXPECT_EQ(r.GetNameVals() + ";" + r.Body + ";" + r.Description + ";" + g.Body,
              "Wave(0,0);Amp*sin(T);a sine wave;2");
    for (const auto& [text, params, body] : {std::tuple{"F;2000000000;A", 1u, ""}, {"F;-5;body", 0u, "body"}}) {
        clsOldStream damaged;
        damaged.ParseString(text);
        r.ReadData(damaged);
        EXPECT_TRUE(r.Params.size() == params && r.Body == body) << text;
    }
}

TEST(Catalogue, CategoriesReservedNamesAndEveryStandardNameIsABuiltin) {
    for (const clsFncHeader& h : GetStandardHeaders()) { // the scene's own: FunctionEditorTest's chooser
        const bool two = h.Signature.find(',') != std::string::npos;
        const std::string call = h.Name + (h.Name == "if" ? "(1,1,1)" : two ? "(1,1)" : "(.5)");
        EXPECT_EQ(Eval(call).message.find("not defined"), std::string::npos) << call;
    }
    RecordingPrompt prompt;
    ScopedPrompt installed(prompt);
    EXPECT_TRUE(IsNameReserved("SIN") && prompt.Messages[0].Icon == PromptIcon::Critical);
    EXPECT_EQ(prompt.LastText(), "Function name 'sin' is reserved for internal use and cannot be redefined.\r"
                                 "sin(t): Returns the sine of an angle.");
    for (const char* name : {"Pi", "step", "INTEGRATE"}) EXPECT_TRUE(IsNameReserved(name)) << name;
    for (const char* name : {"MyFunc", "+"}) EXPECT_FALSE(IsNameReserved(name)) << name;
    EXPECT_EQ(prompt.Messages.size(), 4u);
}

TEST(FunctionListFile, TextRoundTripAndLenientReading) {
    FunctionList list{Definition("F(X)", "X*X"), Definition("G(A, B)", "F(A)+B"), Definition("K", "1\r\n+2")};
    list[0].Description = "square";
    EXPECT_EQ(FunctionListText({list[0]}) + FunctionListText({}),
              "--FNL 1.0--\r\n1\r\nF;1;X;X*X;square\r\n--FNL 1.0--\r\n0\r\n");
    std::string message, path = testing::TempDir() + "/roundtrip.fnl";
    ASSERT_TRUE(WriteFunctionListFile(path, list, message)) << message;
    FunctionList read;
    ASSERT_TRUE(ReadFunctionListFile(path, read, message)) << message;
    ASSERT_TRUE(read.size() == 3 && read[0].Description == "square");
    EXPECT_EQ(Eval("G(3, 1)", &read).value, 10);
    EXPECT_EQ(Eval("K", &read).value, 3); // line breaks inside a value cannot split a record
    ASSERT_TRUE(ParseFunctionListText("--FNL 1.0--\n 2 \nA;0;1;\nJustAName\n", "x.fnl", read, message)) << message;
    ASSERT_EQ(read.size(), 2u); // a malformed record is read as far as it goes
    EXPECT_EQ(read[0].Body + ";" + read[1].Name, "1;JustAName");
}

TEST(FunctionListFile, FailureMessagesAndFailuresLeaveTheListAlone) {
    FunctionList read{Definition("Keep", "1")};
    std::string message;
    const char *invalid = "Invalid function list file", *damaged = "Error reading from file 'f.fnl'";
    const std::pair<const char*, const char*> cases[] = {
        {"--FNL 1.1--\r\n0\r\n", invalid}, {" --FNL 1.0--\r\n0\r\n", invalid}, {"", invalid},
        {"--FNL 1.0--\r\n", damaged}, {"--FNL 1.0--\r\nmany\r\n", damaged}, {"--FNL 1.0--\r\n-1\r\n", damaged},
        {"--FNL 1.0--\r\n3\r\nA;0;1;\r\n", damaged}, // fewer records than counted
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_FALSE(ParseFunctionListText(text, "f.fnl", read, message)) << text;
        EXPECT_EQ(message, expected) << text;
    }
    EXPECT_EQ(read.size(), 1u); // failures leave the list alone; files that cannot be opened: FunctionEditorTest
}
