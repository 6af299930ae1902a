#pragma once
// Desktop services the model asks for during long computations and file commands: the
// state of the Esc key and the common file dialog. The application installs the real
// ones; until then the key is never pressed and every file dialog is cancelled.

#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace ov {

class IEscapeKey {
public:
    virtual ~IEscapeKey() = default;
    // True when Esc is down or was pressed since the last call; each call clears the latter.
    virtual bool ReadEscape() = 0;
    // Forgets earlier presses and a key still held down from before.
    virtual void Forget() {}
    // True while a computation lets waiting events through from inside ReadEscape: the
    // model may be half-way through a change, so nothing should paint it now.
    virtual bool Pumping() const { return false; }
};

// What a save dialog with a list of file types returns: the path ("" when cancelled) and
// which entry of the list (from 0) was chosen.
struct SaveChoice {
    std::string Path;
    int FilterIndex = 0;
};

class IFileDialog {
public:
    virtual ~IFileDialog() = default;
    // filter is "Description (*.ext)|*.ext[|...]". Returns the chosen path, or "" when
    // the user cancels.
    virtual std::string Show(const std::string& title, const std::string& defaultExtension,
                             const std::string& initialFileName, const std::string& filter, bool open) = 0;
    // A save dialog that starts at entry initialFilter of filter and tells which entry the
    // user left chosen; the chosen entry's extension is the default one. This default asks
    // Show and takes the entry whose extension the chosen name has (initialFilter when none
    // has it), for dialogs that cannot tell.
    virtual SaveChoice ShowSave(const std::string& title, const std::string& initialFileName,
                                const std::string& filter, int initialFilter);
};

// The extension (without the dot) of the first pattern of entry index of a filter, as
// "emf" of "*.emf;*.wmf"; "" for a pattern without one ("*.*") or no such entry.
std::string FilterExtension(const std::string& filter, int index);
// The entry of a filter with a pattern "*.ext" matching the path's extension (any case);
// -1 for none.
int FilterIndexOfPath(const std::string& filter, const std::string& path);

// Whether the user pressed Esc to stop a long computation; with ask, only if they also
// confirm in a question box.
bool CheckAbort(bool ask, bool criticalIcon = false);
// A moment after which CheckAbort answers true at once, without asking: the command line's
// time limit. Cleared with nullopt, which also clears DeadlinePassed.
void SetDeadline(std::optional<std::chrono::steady_clock::time_point> deadline);
// Whether CheckAbort has stopped something because the deadline passed.
bool DeadlinePassed();
// Called where an operation that CheckAbort may stop begins: only an Esc pressed from now
// on counts, whatever happened to earlier presses (a release swallowed by a menu included).
void BeginAbortableOperation();
// The common file dialog; "" when cancelled.
std::string ShowFileDialog(const std::string& title, const std::string& defaultExtension,
                           const std::string& initialFileName, const std::string& filter, bool open);

// A save dialog with a choice of file types (IFileDialog::ShowSave).
SaveChoice ShowSaveFileDialog(const std::string& title, const std::string& initialFileName, const std::string& filter,
                              int initialFilter);

// The system beep for a key that does nothing. Silent until the application installs
// the real one; tests install a counter.
void Beep();
void SetBeep(std::function<void()> beep); // an empty function restores the silent default

IEscapeKey& EscapeKey();
void SetEscapeKey(IEscapeKey* key); // not owned; nullptr restores the default
IFileDialog& FileDialog();
void SetFileDialog(IFileDialog* dialog);

} // namespace ov

namespace ov {

// Seconds since midnight, local time; tests install their own clock.
double SecondsSinceMidnight();
void SetClock(double (*clock)()); // nullptr restores the system clock

} // namespace ov
