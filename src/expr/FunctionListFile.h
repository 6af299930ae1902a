#pragma once
// Function-list files ("*.fnl"): the line "--FNL 1.0--", the number of definitions, then
// one definition per line in the flat record layout.

#include <string>
#include <string_view>

#include "expr/FunctionListContext.h"

namespace ov {

extern const char* const kFunctionListHeader; // "--FNL 1.0--"

// The file text (lines ended by CR LF).
std::string FunctionListText(const FunctionList& functions);
// Parses file text into definitions. On failure returns false with the user message
// ("Invalid function list file" or "Error reading from file '<name>'").
bool ParseFunctionListText(std::string_view text, const std::string& fileName, FunctionList& functions,
                           std::string& message);

// Reads a file; messages as above, or "Unable to open file '<name>'".
bool ReadFunctionListFile(const std::string& path, FunctionList& functions, std::string& message);
// Writes a file safely; messages "Unable to create file '<name>'" or "Error writing to
// file '<name>'". A failed write leaves an existing file untouched.
bool WriteFunctionListFile(const std::string& path, const FunctionList& functions, std::string& message);

} // namespace ov
