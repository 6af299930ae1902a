#pragma once
// The error sink of formula evaluation: holds one message, composed from a fixed template
// by whichever level of the evaluator failed first. Every reporting operation replaces
// the message.

#include <string>
#include <string_view>

namespace ov {

class clsError {
public:
    const std::string& GetError() const { return message_; }

    void SyntaxError(std::string_view fnc, std::string_view token);
    void DivisionByZero(std::string_view name);
    void NoParenthesis(std::string_view fnc);
    void TooFewParams(std::string_view called, std::string_view caller);
    void TooManyParams(std::string_view called, std::string_view caller);
    void SQRNeg(std::string_view fnc);
    void ParamOutOfRange(std::string_view name, double low, double high);
    void ParamGE(std::string_view name, double limit);
    void ParamG(std::string_view name, double limit);
    void ParamLE(std::string_view name, double limit);
    void ParamL(std::string_view name, double limit);
    void ParamNE(std::string_view name, double limit);
    void LogNeg(std::string_view fnc);
    void InvalidFunction(std::string_view fnc, std::string_view name);
    void MissingParameter(std::string_view fnc);
    void NestDeep(std::string_view fnc);
    void InternalError();
    void SetError(std::string_view text);
    void Aborted();

private:
    void ParamLimit(std::string_view name, std::string_view relation, double limit);
    std::string message_;
};

} // namespace ov
