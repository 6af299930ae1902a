#include "expr/clsError.h"

#include "io/NumberText.h"

namespace ov {

namespace {

std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

// Characters, not bytes: UTF-8 continuation bytes do not start a character.
std::size_t CharacterCount(std::string_view text) {
    std::size_t n = 0;
    for (const char c : text) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

} // namespace

void clsError::SyntaxError(std::string_view fnc, std::string_view token) {
    if (token.empty()) message_ = "Syntax error in " + Quoted(fnc);
    else
        message_ = std::string("Syntax error at ") + (CharacterCount(token) == 1 ? "character" : "symbol") + " " +
                   Quoted(token) + " in " + Quoted(fnc);
}

void clsError::DivisionByZero(std::string_view name) { message_ = "Division By Zero in " + Quoted(name); }

void clsError::NoParenthesis(std::string_view fnc) { message_ = "')' expected in " + Quoted(fnc); }

void clsError::TooFewParams(std::string_view called, std::string_view caller) {
    message_ = "Too few parameters in call to function " + Quoted(called) + " from " + Quoted(caller);
}

void clsError::TooManyParams(std::string_view called, std::string_view caller) {
    message_ = "Too many parameters in call to function " + Quoted(called) + " from " + Quoted(caller);
}

void clsError::SQRNeg(std::string_view fnc) { message_ = "Negative square root in " + Quoted(fnc); }

void clsError::ParamOutOfRange(std::string_view name, double low, double high) {
    message_ = "Function " + Quoted(name) + " requires the parameter ranging from " + GeneralNumberText(low) +
               " and " + GeneralNumberText(high);
}

void clsError::ParamLimit(std::string_view name, std::string_view relation, double limit) {
    message_ = "Parameter of function " + Quoted(name) + " must " + std::string(relation) + " " +
               GeneralNumberText(limit);
}

void clsError::ParamGE(std::string_view name, double limit) { ParamLimit(name, "be greater than or equal to", limit); }
void clsError::ParamG(std::string_view name, double limit) { ParamLimit(name, "be greater than", limit); }
void clsError::ParamLE(std::string_view name, double limit) { ParamLimit(name, "be less than or equal to", limit); }
void clsError::ParamL(std::string_view name, double limit) { ParamLimit(name, "be less than", limit); }
void clsError::ParamNE(std::string_view name, double limit) { ParamLimit(name, "not be equal to", limit); }

void clsError::LogNeg(std::string_view fnc) { message_ = "Negative logarithm in " + Quoted(fnc); }

void clsError::InvalidFunction(std::string_view, std::string_view name) {
    message_ = "Function " + Quoted(name) + " not defined";
}

void clsError::MissingParameter(std::string_view fnc) { message_ = "Argument expected in " + Quoted(fnc); }

void clsError::NestDeep(std::string_view fnc) { message_ = "Recursion is too deep in call to " + Quoted(fnc); }

void clsError::InternalError() { message_ = "Internal error occurred"; }

void clsError::SetError(std::string_view text) { message_ = std::string(text); }

void clsError::Aborted() { message_ = "Operation aborted"; }

} // namespace ov
