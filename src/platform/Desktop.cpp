#include "platform/Desktop.h"

#include "platform/Prompt.h"

#include <utility>

namespace ov {

namespace {

class NeverPressed : public IEscapeKey {
public:
    bool ReadEscape() override { return false; }
};

class AlwaysCancelled : public IFileDialog {
public:
    std::string Show(const std::string&, const std::string&, const std::string&, const std::string&, bool) override {
        return {};
    }
};

IEscapeKey*& InstalledKey() {
    static IEscapeKey* key = nullptr;
    return key;
}

IFileDialog*& InstalledDialog() {
    static IFileDialog* dialog = nullptr;
    return dialog;
}

std::function<void()>& InstalledBeep() {
    static std::function<void()> beep;
    return beep;
}

} // namespace

void Beep() {
    if (InstalledBeep()) InstalledBeep()();
}

void SetBeep(std::function<void()> beep) { InstalledBeep() = std::move(beep); }

IEscapeKey& EscapeKey() {
    static NeverPressed fallback;
    return InstalledKey() ? *InstalledKey() : fallback;
}

void SetEscapeKey(IEscapeKey* key) { InstalledKey() = key; }

IFileDialog& FileDialog() {
    static AlwaysCancelled fallback;
    return InstalledDialog() ? *InstalledDialog() : fallback;
}

void SetFileDialog(IFileDialog* dialog) { InstalledDialog() = dialog; }

namespace {

struct Deadline {
    std::optional<std::chrono::steady_clock::time_point> at;
    bool passed = false;
};

Deadline& TheDeadline() {
    static Deadline deadline;
    return deadline;
}

} // namespace

void SetDeadline(std::optional<std::chrono::steady_clock::time_point> deadline) {
    TheDeadline() = {deadline, false};
}

bool DeadlinePassed() { return TheDeadline().passed; }

bool CheckAbort(bool ask, bool criticalIcon) {
    Deadline& deadline = TheDeadline();
    if (deadline.at && (deadline.passed || std::chrono::steady_clock::now() >= *deadline.at)) {
        deadline.passed = true;
        return true;
    }
    if (!EscapeKey().ReadEscape()) return false;
    if (!ask) return true;
    return Prompt().Show("Do you want to abort the current operation?", "",
                         criticalIcon ? PromptIcon::Critical : PromptIcon::Warning,
                         PromptButtons::YesNo) != PromptAnswer::No;
}

void BeginAbortableOperation() { EscapeKey().Forget(); }

std::string ShowFileDialog(const std::string& title, const std::string& defaultExtension,
                           const std::string& initialFileName, const std::string& filter, bool open) {
    return FileDialog().Show(title, defaultExtension, initialFileName, filter, open);
}

SaveChoice ShowSaveFileDialog(const std::string& title, const std::string& initialFileName, const std::string& filter,
                              int initialFilter) {
    return FileDialog().ShowSave(title, initialFileName, filter, initialFilter);
}

} // namespace ov

#include <ctime>

namespace ov {

namespace {

double SystemSecondsSinceMidnight() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    std::tm local{};
    const std::time_t now = ts.tv_sec;
    localtime_r(&now, &local);
    return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + ts.tv_nsec / 1e9;
}

double (*&InstalledClock())() {
    static double (*clock)() = nullptr;
    return clock;
}

} // namespace

double SecondsSinceMidnight() { return InstalledClock() ? InstalledClock()() : SystemSecondsSinceMidnight(); }

void SetClock(double (*clock)()) { InstalledClock() = clock; }

} // namespace ov
