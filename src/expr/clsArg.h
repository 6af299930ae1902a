#pragma once
// A formal parameter of a user-defined function: its name and, during an evaluation,
// its current value. Only the name is stored.

#include <string>

#include "expr/StampedString.h"

namespace ov {

class clsOldStream;

class clsArg {
public:
    clsArg() = default;
    explicit clsArg(std::string name, double value = 0) : Name(std::move(name)), Value(value) {}

    StampedString Name;
    double Value = 0;

    clsArg Dup() const { return *this; }
    void CopyAssign(const clsArg& source) { *this = source; }
    void ReadData(clsOldStream& stream);
    void WriteData(clsOldStream& stream) const;
};

// A catalogue entry as the function chooser and the editor show it.
struct clsFncHeader {
    std::string Name;
    std::string Signature; // the name, followed by the parameter list in parentheses if any
    std::string Description;
};

} // namespace ov
