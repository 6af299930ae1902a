#include <gtest/gtest.h>

#include "ExprTestSupport.h"
#include "expr/FunctionCatalogue.h"
#include "io/clsOldStream.h"
#include "platform/Prompt.h"

using namespace ov;

TEST(FncDef, ParseNameAcceptsValidHeaders) {
    clsFncDef d;
    EXPECT_TRUE(d.ParseName("F(A, B)"));
    EXPECT_EQ(d.Name, "F");
    ASSERT_EQ(d.Params.size(), 2u);
    EXPECT_EQ(d.Params[0].Name, "A");
    EXPECT_EQ(d.Params[1].Name, "B");
    EXPECT_TRUE(d.ParseName("G ( X )"));
    EXPECT_EQ(d.Name, "G");
    ASSERT_EQ(d.Params.size(), 1u);
    EXPECT_EQ(d.Params[0].Name, "X");
    EXPECT_TRUE(d.ParseName("H"));
    EXPECT_EQ(d.Name, "H");
    EXPECT_TRUE(d.Params.empty());
    EXPECT_TRUE(d.ParseName("Len2(x1,Y2)"));
    EXPECT_EQ(d.Params[1].Name, "Y2");
    EXPECT_TRUE(d.ParseName("D(A, A)")); // duplicates are not the header's business
}

TEST(FncDef, ParseNameRejectsInvalidHeaders) {
    for (const char* header : {"F()", "F(A,)", "F(1A)", "F(A", "2F", "", " F", "F G", "F(A B)", "F(A)x", "(A)",
                               "F_1", "F(A;B)"}) {
        clsFncDef d;
        EXPECT_FALSE(d.ParseName(header)) << header;
    }
    // Pieces up to the first invalid one are kept.
    clsFncDef d;
    EXPECT_FALSE(d.ParseName("F(A, 1B, C)"));
    ASSERT_EQ(d.Params.size(), 2u);
    EXPECT_EQ(d.Params[1].Name, "1B");
}

TEST(FncDef, HeaderTexts) {
    clsFncDef d = test::Definition("F(A, B)", "A+B");
    d.Description = "adds";
    EXPECT_EQ(d.GetNameArgs(), "F(A, B)");
    d.Params[0].Value = 1;
    d.Params[1].Value = 2.5;
    EXPECT_EQ(d.GetNameVals(), "F(1,2.5)");
    d.Params[1].Value = -0.125;
    EXPECT_EQ(d.GetNameVals(), "F(1,-0.125)");
    const clsFncHeader h = d.GetFncHeader();
    EXPECT_EQ(h.Name, "F");
    EXPECT_EQ(h.Signature, "F(A, B)");
    EXPECT_EQ(h.Description, "adds");
    clsFncDef plain = test::Definition("K", "1");
    EXPECT_EQ(plain.GetNameArgs(), "K");
    EXPECT_EQ(plain.GetNameVals(), "K");
}

TEST(FncDef, CopiesShareNothing) {
    clsFncDef d = test::Definition("F(A)", "A");
    d.NestCount = 3;
    auto copy = d.Dup();
    copy->Params[0].Name = "Z";
    copy->Params[0].Value = 9;
    EXPECT_EQ(d.Params[0].Name, "A");
    EXPECT_EQ(copy->NestCount, 3);
    clsFncDef other;
    other.CopyAssign(*copy);
    EXPECT_EQ(other.Params[0].Name, "Z");
}

TEST(FncDef, RecordRoundTripKeepsNamesButNotValues) {
    clsFncDef d = test::Definition("Wave(T, Amp)", "Amp*sin(T)");
    d.Description = "a sine wave";
    d.Params[0].Value = 5;
    clsOldStream out;
    d.WriteData(out);
    EXPECT_EQ(out.BuildString(), "Wave;2;T;Amp;Amp*sin(T);a sine wave");

    clsOldStream in;
    in.ParseString(out.BuildString());
    clsFncDef r;
    r.ReadData(in);
    EXPECT_EQ(r.Name, "Wave");
    ASSERT_EQ(r.Params.size(), 2u);
    EXPECT_EQ(r.Params[1].Name, "Amp");
    EXPECT_EQ(r.Params[0].Value, 0);
    EXPECT_EQ(r.Body, "Amp*sin(T)");
    EXPECT_EQ(r.Description, "a sine wave");
}

TEST(FncDef, RecordsReadOneAfterAnotherFromOneStream) {
    clsOldStream a, b;
    test::Definition("F(X)", "X").WriteData(a);
    test::Definition("G", "2").WriteData(b);
    clsOldStream shared;
    shared.ParseString(a.BuildString());
    shared.ParseString(b.BuildString());
    clsFncDef f, g;
    f.ReadData(shared);
    g.ReadData(shared);
    EXPECT_EQ(f.Name, "F");
    EXPECT_EQ(g.Name, "G");
    EXPECT_EQ(g.Body, "2");
}

TEST(FncDef, DamagedRecordsReadWithoutHarm) {
    clsOldStream s;
    s.ParseString("F;2000000000;A");
    clsFncDef d;
    d.ReadData(s);
    EXPECT_EQ(d.Name, "F");
    EXPECT_EQ(d.Params.size(), 1u);
    EXPECT_EQ(d.Body, "");
    clsOldStream negative;
    negative.ParseString("F;-5;body");
    d.ReadData(negative);
    EXPECT_TRUE(d.Params.empty());
    EXPECT_EQ(d.Body, "body");
}

TEST(Catalogue, CategoriesInOrder) {
    const HeaderList standard = GetStandardHeaders();
    ASSERT_EQ(standard.size(), 32u);
    EXPECT_EQ(standard.front().Signature, "abs(t)");
    EXPECT_EQ(standard[6].Signature, "arctan2(ty,tx)");
    EXPECT_EQ(standard.back().Name, "tanh");
    EXPECT_EQ(GetConstantHeaders()[0].Signature, "pi");
    EXPECT_EQ(GetOperatorHeaders().size(), 14u);
    EXPECT_EQ(GetPseudoHeaders()[3].Signature, "From");
    EXPECT_EQ(GetPseudoHeaders()[0].Description, "The function entered in \"X(t)\" field for the function object");
    EXPECT_EQ(GetMacroHeaders()[2].Signature, "integrate(f(x),x,xmin,xmax,[dx])");
    EXPECT_EQ(GetReservedHeaders().size(), 32u + 2 + 6 + 3);
    EXPECT_TRUE(GetCustomHeaders(nullptr).empty());
    FunctionList list{test::Definition("F(A, B)", "A")};
    EXPECT_EQ(GetCustomHeaders(&list)[0].Signature, "F(A, B)");
}

TEST(Catalogue, EveryStandardNameIsABuiltinOfTheEvaluator) {
    for (const clsFncHeader& h : GetStandardHeaders()) {
        const std::string call = h.Name + "(" + (h.Name == "if" ? "1,1,1" : h.Signature.find(',') != std::string::npos ? "1,1" : ".5") + ")";
        const auto o = test::Eval(call);
        EXPECT_EQ(o.message.find("not defined"), std::string::npos) << call << ": " << o.message;
    }
}

TEST(Catalogue, ReservedNamesAreRefusedWithAnExplanation) {
    RecordingPrompt prompt;
    ScopedPrompt installed(prompt);
    EXPECT_TRUE(IsNameReserved("SIN"));
    ASSERT_EQ(prompt.Messages.size(), 1u);
    EXPECT_EQ(prompt.LastText(),
              "Function name 'sin' is reserved for internal use and cannot be redefined.\rsin(t): Returns the sine of "
              "an angle.");
    EXPECT_EQ(prompt.Messages[0].Icon, PromptIcon::Critical);
    EXPECT_TRUE(IsNameReserved("Pi"));
    EXPECT_TRUE(IsNameReserved("step"));
    EXPECT_TRUE(IsNameReserved("INTEGRATE"));
    EXPECT_EQ(prompt.Messages.size(), 4u);
    EXPECT_FALSE(IsNameReserved("MyFunc"));
    EXPECT_FALSE(IsNameReserved("+"));
    EXPECT_EQ(prompt.Messages.size(), 4u);
}

TEST(Errors, TemplatesAndReplacement) {
    clsError e;
    EXPECT_EQ(e.GetError(), "");
    e.SyntaxError("F", "==");
    EXPECT_EQ(e.GetError(), "Syntax error at symbol '==' in 'F'");
    e.SyntaxError("F", "^");
    EXPECT_EQ(e.GetError(), "Syntax error at character '^' in 'F'"); // the second replaces the first
    e.SyntaxError("F", "");
    EXPECT_EQ(e.GetError(), "Syntax error in 'F'");
    e.ParamOutOfRange("ARCCOS", -1, 1);
    EXPECT_EQ(e.GetError(), "Function 'ARCCOS' requires the parameter ranging from -1 and 1");
    e.ParamGE("FACT", 0);
    EXPECT_EQ(e.GetError(), "Parameter of function 'FACT' must be greater than or equal to 0");
    e.ParamG("X", 0.5);
    EXPECT_EQ(e.GetError(), "Parameter of function 'X' must be greater than 0.5");
    e.ParamLE("X", 1E20);
    EXPECT_EQ(e.GetError(), "Parameter of function 'X' must be less than or equal to 1E+20");
    e.ParamL("X", -2.5);
    EXPECT_EQ(e.GetError(), "Parameter of function 'X' must be less than -2.5");
    e.ParamNE("X", 0);
    EXPECT_EQ(e.GetError(), "Parameter of function 'X' must not be equal to 0");
    e.TooFewParams("G", "F");
    EXPECT_EQ(e.GetError(), "Too few parameters in call to function 'G' from 'F'");
    e.InvalidFunction("F", "G");
    EXPECT_EQ(e.GetError(), "Function 'G' not defined");
    e.NestDeep("F");
    EXPECT_EQ(e.GetError(), "Recursion is too deep in call to 'F'");
    e.InternalError();
    EXPECT_EQ(e.GetError(), "Internal error occurred");
    e.Aborted();
    EXPECT_EQ(e.GetError(), "Operation aborted");
    e.SetError("anything");
    EXPECT_EQ(e.GetError(), "anything");
}
