#include "expr/FunctionListFile.h"

#include "io/LineList.h"
#include "io/TextFile.h"
#include "io/clsOldStream.h"

namespace ov {

const char* const kFunctionListHeader = "--FNL 1.0--";

namespace {

// A record is one line: line breaks inside a value would split it.
std::string OneLine(std::string text) {
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    return text;
}

// The count line is a number field: blanks around it are allowed.
bool ReadCount(std::string_view line, long& count) {
    const std::size_t b = line.find_first_not_of(' ');
    if (b == std::string_view::npos) return false;
    const std::size_t e = line.find_last_not_of(' ');
    const std::string digits(line.substr(b, e - b + 1));
    if (digits.empty() || digits.size() > 9) return false;
    for (const char c : digits)
        if (c < '0' || c > '9') return false;
    count = std::stol(digits);
    return true;
}

} // namespace

std::string FunctionListText(const FunctionList& functions) {
    std::string text = std::string(kFunctionListHeader) + "\r\n" + std::to_string(functions.size()) + "\r\n";
    for (const clsFncDef& def : functions) {
        clsOldStream stream;
        def.WriteData(stream);
        text += OneLine(stream.BuildString()) + "\r\n";
    }
    return text;
}

bool ParseFunctionListText(std::string_view text, const std::string& fileName, FunctionList& functions,
                           std::string& message) {
    LineList lines = LineList::FromText(text);
    if (lines.empty() || lines.front() != kFunctionListHeader) {
        message = "Invalid function list file";
        return false;
    }
    lines.pop_front();
    long count = 0;
    if (lines.empty() || !ReadCount(lines.front(), count) || static_cast<std::size_t>(count) > lines.size() - 1) {
        message = "Error reading from file '" + fileName + "'";
        return false;
    }
    lines.pop_front();
    FunctionList read;
    for (long i = 0; i < count; ++i) {
        clsOldStream stream;
        stream.ParseString(lines.front());
        lines.pop_front();
        read.emplace_back();
        read.back().ReadData(stream);
    }
    functions = std::move(read);
    return true;
}

bool ReadFunctionListFile(const std::string& path, FunctionList& functions, std::string& message) {
    std::string content, error;
    if (!ReadTextFile(path, content, error)) {
        message = "Unable to open file '" + path + "'";
        return false;
    }
    DropByteOrderMark(content);
    return ParseFunctionListText(content, path, functions, message);
}

bool WriteFunctionListFile(const std::string& path, const FunctionList& functions, std::string& message) {
    std::string error;
    bool createFailed = false;
    if (WriteTextFileAtomically(path, FunctionListText(functions), error, createFailed)) return true;
    message = (createFailed ? "Unable to create file '" : "Error writing to file '") + path + "'";
    return false;
}

} // namespace ov
