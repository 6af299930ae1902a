// The compiled form of a definition: kept between evaluations only while neither the
// definition nor anything it reaches has changed, and repeated by the interpreter without
// asking the user twice. That its results equal the interpreter's is the differential
// check's business (fuzz/FormulaDiff.h, replayed in RegressionTest.cpp).

#include <gtest/gtest.h>

#include "ExprTestSupport.h"

using namespace ov;
using namespace ov::test;

TEST(CompiledFormulas, EditingAReachableDefinitionReachesTheCaller) {
    FunctionList functions{Definition("G(X)", "H(X)*2"), Definition("H(X)", "X+1")};
    FunctionListContext context({&functions});
    clsFncDef caller = Definition("F(T)", "G(T)+T");
    EXPECT_EQ(Apply(caller, context, {3}).value, 11);
    functions[1].Body = "X+5"; // two calls away
    EXPECT_EQ(Apply(caller, context, {3}).value, 19);
    functions[1].Params[0].Name = "Y"; // the body's X is no longer a parameter
    EXPECT_EQ(Apply(caller, context, {3}).message, "Function 'X' not defined");
    functions[1] = Definition("H(X, Y)", "X*Y");
    EXPECT_EQ(Apply(caller, context, {3}).message, Count("few", "H", "G"));
    functions.pop_back();
    EXPECT_EQ(Apply(caller, context, {3}).message, "Function 'H' not defined");
    functions.push_back(Definition("h(z)", "z-1")); // defined again, under another spelling
    EXPECT_EQ(Apply(caller, context, {3}).value, 7);
    caller.Body = "G(T)*T";
    EXPECT_EQ(Apply(caller, context, {3}).value, 12);
}

// The compiled form compares the stamps of the texts, so every way of changing a text must
// give it a new stamp, and a text that keeps its stamp must keep its characters.
TEST(CompiledFormulas, EveryWayOfChangingATextReachesTheCompiledForm) {
    StampedString a = std::string("X+1");
    const StampedString copy = a;
    EXPECT_EQ(copy.Stamp(), a.Stamp());
    a = "X+1"; // the same characters, set again
    const std::uint64_t renewed = a.Stamp();
    EXPECT_NE(renewed, copy.Stamp());
    const StampedString moved = std::move(a);
    EXPECT_EQ(moved.Stamp(), renewed);
    EXPECT_TRUE(a.empty()); // what a move leaves behind must not keep the stamp
    EXPECT_EQ(a.Stamp(), 0u);

    FunctionList functions{Definition("G(X)", "X+1"), Definition("H(X)", "X*3")};
    FunctionListContext context({&functions});
    clsFncDef caller = Definition("F(T)", "G(T)");
    EXPECT_EQ(Apply(caller, context, {2}).value, 3);
    std::swap(functions[0].Body, functions[1].Body);
    EXPECT_EQ(Apply(caller, context, {2}).value, 6);
    functions[0].Name = std::string("H");
    functions[1].Name = std::string_view("G");
    EXPECT_EQ(Apply(caller, context, {2}).value, 3);
    functions[1].Body = functions[0].Body; // copied from another definition
    EXPECT_EQ(Apply(caller, context, {2}).value, 6);
    functions[1].Params = {clsArg("Y")};
    EXPECT_EQ(Apply(caller, context, {2}).message, "Function 'X' not defined");
    clsFncDef kept = std::move(caller);
    caller = Definition("F(T)", "T*100");
    EXPECT_EQ(Apply(caller, context, {2}).value, 200);
    std::swap(caller, kept);
    EXPECT_EQ(Apply(caller, context, {2}).message, "Function 'X' not defined");
    EXPECT_EQ(Apply(kept, context, {2}).value, 200);
}

TEST(CompiledFormulas, ListsReplacedOrSearchedDifferentlyReachTheCaller) {
    FunctionList scene{Definition("K", "1")};
    FunctionList imported{Definition("K", "2"), Definition("L(A)", "A*K")};
    FunctionListContext sceneOnly({&scene});
    FunctionListContext both({&imported, &scene});
    clsFncDef caller = Definition("F", "K*10");
    EXPECT_EQ(Apply(caller, sceneOnly).value, 10);
    EXPECT_EQ(Apply(caller, both).value, 20); // the same definition, another context
    EXPECT_EQ(Apply(caller, sceneOnly).value, 10);
    scene = imported; // a list imported over the scene's
    EXPECT_EQ(Apply(caller, sceneOnly).value, 20);
    caller.Body = "L(3)";
    EXPECT_EQ(Apply(caller, sceneOnly).value, 6);
    scene[0].Body = "K2"; // an unknown name in a callee two levels down
    EXPECT_EQ(Apply(caller, sceneOnly).message, "Function 'K2' not defined");
}

TEST(CompiledFormulas, ANumberTooLargeFailsWhereItIsComputedOnly) {
    FunctionListContext context;
    clsFncDef def = Definition("G(T)", "IF(T,3,1E400)");
    for (const double t : {1.0, 0.0, 1.0}) // the compiled form made by the first is kept
        EXPECT_EQ(Apply(def, context, {t}).message, t != 0 ? "" : Fault("G")) << t;
    EXPECT_EQ(Apply(def, context, {1}).value, 3);
}

// Answers the question whether to stop with no, counting them.
class Counting : public FunctionListContext {
public:
    using FunctionListContext::FunctionListContext;
    bool CheckAbort() override { return ++asked, false; }
    int asked = 0;
};

TEST(CompiledFormulas, WorkRepeatedByTheInterpreterAsksNoQuestionTwice) {
    FunctionList functions{Definition("One(X)", "1")};
    // 2500 iterations ask twice (every 1024 ticks), then the division fails: the compiled
    // form gives up there and the interpreter repeats the whole evaluation.
    // RAND is left to the interpreter in the same way. A call ticks as well.
    const struct {
        const char* body;
        unsigned ticks;
        bool ok;
    } cases[] = {{"SUM(I,I,1,2500)+1/0", 2500, false}, {"SUM(One(I),I,1,1500)+1/0", 3000, false},
                 {"SUM(I,I,1,2500)+RAND", 2500, true}};
    for (const auto& c : cases) {
        Counting context({&functions});
        clsFncDef def = Definition("F", c.body);
        const Outcome o = Apply(def, context);
        EXPECT_EQ(context.asked, 2) << c.body;
        EXPECT_EQ(context.Ticks, c.ticks) << c.body;
        EXPECT_EQ(o.ok, c.ok) << c.body << ": " << o.message;
    }
    EXPECT_EQ(functions[0].NestCount, 0);
}

TEST(CompiledFormulas, TheUserStopsACompiledLoopAtTheSameQuestion) {
    FunctionList none;
    for (const int last : {1, 3}) {
        StopAfter context({&none}, last);
        clsFncDef def = Definition("F", "SUM(I,I,1,100000)");
        EXPECT_EQ(Apply(def, context).message, "Operation aborted");
        EXPECT_EQ(context.Ticks, 1024u * static_cast<unsigned>(last));
    }
}

// A list long enough to be searched through its name index.
FunctionList Numbered(int count) {
    FunctionList list;
    for (int i = 0; i < count; ++i) list.push_back(Definition("N" + std::to_string(i), std::to_string(i)));
    return list;
}

TEST(CompiledFormulas, LongListsFollowEveryChangeBetweenEvaluations) {
    FunctionList list = Numbered(40);
    FunctionListContext context({&list});
    clsFncDef caller = Definition("F", "N39*1000+Z");
    list.push_back(Definition("Z", "7"));
    EXPECT_EQ(Apply(caller, context).value, 39007);
    list[39].Name = "Other"; // renamed
    EXPECT_EQ(Apply(caller, context).message, "Function 'N39' not defined");
    list[39] = list[38]; // a copy under the name of another, without a new text
    list[39].Body = "5";
    EXPECT_EQ(Apply(caller, context).message, "Function 'N39' not defined");
    list[39].Name = "N39";
    EXPECT_EQ(Apply(caller, context).value, 5007);
    list[0].Name = "N39"; // two of one name: the first counts
    EXPECT_EQ(Apply(caller, context).value, 7);
    list.erase(list.begin()); // every position moves
    EXPECT_EQ(Apply(caller, context).value, 5007);
    list = Numbered(40); // replaced, Z gone
    EXPECT_EQ(Apply(caller, context).message, "Function 'Z' not defined");
}

TEST(CompiledFormulas, TheUserStopsTheCompilingOfALongChain) {
    // 1,000 functions in a chain compile before the first call of the code, so without a
    // question asked while compiling nothing would stop them: F999(1) is 1001.
    FunctionList chain{Definition("F0(X)", "X+1")};
    for (int i = 1; i < 1000; ++i)
        chain.push_back(Definition("F" + std::to_string(i) + "(X)", "F" + std::to_string(i - 1) + "(X)+1"));
    Counting unstopped({&chain});
    clsFncDef top = Definition("Top", "F999(1)");
    EXPECT_EQ(Apply(top, unstopped).value, 1001);
    EXPECT_EQ(unstopped.asked, 3); // once per 256 routines compiled
    StopAfter stopping({&chain}, 1);
    top = Definition("Top", "F999(1)");
    EXPECT_EQ(Apply(top, stopping).message, "Operation aborted");
    EXPECT_EQ(stopping.asked, 1);
}
