#pragma once
// Where a user's action starts (a menu command, a mouse or key event in a view, a view's
// picture), memory that runs out ends the action with a message instead of ending the
// program. The model makes no checks of its own: an action either completes or stops here.

#include <new>
#include <string>

#include "platform/Prompt.h"

namespace ov {

// "Not enough memory to " + doing + ".", shown once however many actions fail in a row
// (a view that cannot paint fails again at every repaint).
void ReportOutOfMemory(const std::string& doing);

template <typename Action>
bool RunGuarded(const std::string& doing, Action&& action) {
    try {
        action();
        return true;
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory(doing);
        return false;
    }
}

} // namespace ov
