#include "expr/FunctionCatalogue.h"

#include "platform/Prompt.h"

namespace ov {

namespace {

clsFncHeader Header(std::string name, const std::string& params, std::string description) {
    std::string signature = params.empty() ? name : name + "(" + params + ")";
    return {std::move(name), std::move(signature), std::move(description)};
}

} // namespace

HeaderList GetStandardHeaders() {
    return {
        Header("abs", "t", "Returns the absolute value of a number, a number without its sign."),
        Header("arccos", "t", "Returns the arccosine of a number, in radians in the range 0 to Pi."),
        Header("arccosh", "t", "Returns the inverse hyperbolic cosine of a number."),
        Header("arcsin", "t", "Returns the arcsine of a number in radians, in the range -Pi/2 to Pi/2."),
        Header("arcsinh", "t", "Returns the inverse hyperbolic sine of a number."),
        Header("arctan", "t", "Returns the arctangent of a number in radians, in the range -Pi/2 to Pi/2."),
        Header("arctan2", "ty,tx",
               "Returns the arctangent of the specified x and y coordinates, in radians between -Pi and Pi, "
               "excluding -Pi."),
        Header("arctanh", "t", "Returns the inverse hyperbolic tangent of a number"),
        Header("ceil", "t", "Rounds a number up, to the nearest integer"),
        Header("cos", "t", "Returns the cosine of an angle"),
        Header("cosh", "t", "Returns the hyperbolic cosine of a number"),
        Header("degrees", "t", "Converts radians to degrees."),
        Header("exp", "t", "Returns e raised to the power of a given number."),
        Header("fact", "t", "Returns the factorial of a number, x!"),
        Header("fix", "t", "Returns the integer part of a number."),
        Header("floor", "t", "Rounds a number down, to the nearest integer"),
        Header("frac", "t", "Returns the fractional part of a number."),
        Header("if", "t,a,b", "Returns the value of a if t is not zero, otherwise returns b."),
        Header("ln", "t", "Returns the natural logarithm of a number."),
        Header("log", "t,base", "Returns the logarithm of a number to the given base."),
        Header("log10", "t", "Returns the base-10 logarithm of a number."),
        Header("max", "a,b", "Returns a greater number of a or b."),
        Header("min", "a,b", "Returns a lesser number of a or b."),
        Header("mod", "t,divisor", "Returns the remainder after a number is divided by a divisor."),
        Header("radians", "t", "Converts degrees to radians."),
        Header("rand", "t",
               "Returns a random number greater than or equal to 0 and less than 1. Parameter is optional. If "
               "omitted or positive, returns next random number. If zero, returns last generated number. If "
               "negative, resets the generator to a new sequence using the value as random seed."),
        Header("sign", "t",
               "Returns the sign of a number: 1 if the number is positive, zero if the number is zero, or -1 if "
               "the number is negative."),
        Header("sin", "t", "Returns the sine of an angle."),
        Header("sinh", "t", "Returns the hyperbolic sine of a number."),
        Header("sqrt", "t", "Returns a square root of a number."),
        Header("tan", "t", "Returns the tangent of an angle."),
        Header("tanh", "t", "Returns the hyperbolic tangent of a number."),
    };
}

HeaderList GetConstantHeaders() {
    return {
        Header("pi", "", "Returns the value of Pi, 3.14159265358979"),
        Header("e", "", "Returns the value of the base of natural logarithm, 2.71828182845905"),
    };
}

HeaderList GetCustomHeaders(const FunctionList* activeSceneFunctions) {
    HeaderList headers;
    if (!activeSceneFunctions) return headers;
    for (const clsFncDef& def : *activeSceneFunctions) headers.push_back(def.GetFncHeader());
    return headers;
}

HeaderList GetOperatorHeaders() {
    return {
        Header("+", "", "Addition: A + B"),
        Header("-", "", "Subtraction: A - B"),
        Header("*", "", "Multiplication: A * B"),
        Header("/", "", "Division: A / B"),
        Header("^", "", "Power: A ^ B"),
        Header("&", "", "Logical AND: (A & B) = 1 if both A and B are not zero, 0 otherwise"),
        Header("|", "", "Logical OR: (A | B) = 1 if either A or B is not zero, 0 otherwise"),
        Header("!", "", "Logical NOT: (!A) = 1 if A is zero, 0 otherwise"),
        Header(">", "", "Greater than: (A > B) = 1 if A is greater than B"),
        Header("<", "", "Less than: (A < B) = 1 if A is less than B"),
        Header(">=", "", "Greater than or equal to: (A >= B) = 1 if A is greater than or equal to B"),
        Header("<=", "", "Less than or equal to: A <= B = 1 if A is less than or equal to B"),
        Header("=", "", "Equal to: (A = B) = 1 if A is equal to B"),
        Header("<>", "", "Not equal to: (A <> B) = 1 if A is not equal to B"),
    };
}

HeaderList GetPseudoHeaders() {
    return {
        Header("X", "t", "The function entered in \"X(t)\" field for the function object"),
        Header("Y", "t", "The function entered in \"Y(t)\" field for the function object"),
        Header("Z", "t", "The function entered in \"Z(t)\" field for the function object"),
        Header("From", "", "The value entered in \"T From\" field for the function object"),
        Header("To", "", "The value entered in \"T To\" field for the function object"),
        Header("Step", "", "The value entered in \"T Step\" field for the function object"),
    };
}

HeaderList GetMacroHeaders() {
    return {
        Header("sum", "expr,n,start,end,[step]",
               "Evaluates the expression 'expr' for each integer value of index 'n' from 'start' to 'end' and "
               "adds up the results. If the 'step' value is not specified, 1 is assumed"),
        Header("product", "expr,n,start,end,[step]",
               "Evaluates the expression 'expr' for each integer value of index 'n' from 'start' to 'end' and "
               "multiplies the results up. If the 'step' value is not specified, 1 is assumed"),
        Header("integrate", "f(x),x,xmin,xmax,[dx]",
               "Gives a numerical approximation to the integral of f(x) with respect to x from xmin to xmax."),
    };
}

HeaderList GetReservedHeaders() {
    HeaderList all;
    for (HeaderList part : {GetStandardHeaders(), GetConstantHeaders(), GetPseudoHeaders(), GetMacroHeaders()})
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

bool IsNameReserved(std::string_view name) {
    for (const clsFncHeader& h : GetReservedHeaders()) {
        if (!NamesEqual(h.Name, name)) continue;
        ShowMessage("Function name '" + h.Name + "' is reserved for internal use and cannot be redefined.\r" +
                        h.Signature + ": " + h.Description,
                    PromptIcon::Critical);
        return true;
    }
    return false;
}

} // namespace ov
