#include "app/windows/OutOfMemory.h"

#include <QTimer>

namespace ov {

void ReportOutOfMemory(const std::string& doing) {
    // Shown from the event loop, outside whatever was half-way when memory ran out; the
    // failures that come before the box is shown add nothing to it.
    static bool pending = false;
    if (pending) return;
    pending = true;
    QTimer::singleShot(0, [doing] {
        ShowMessage("Not enough memory to " + doing + ".", PromptIcon::Critical);
        pending = false;
    });
}

} // namespace ov
