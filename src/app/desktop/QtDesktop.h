#pragma once
// The desktop services the model calls, on Qt Widgets: message boxes, the file dialog, the
// Esc key during long computations and the system beep.

#include "app/desktop/QtEscapeKey.h"
#include "platform/Desktop.h"
#include "platform/Prompt.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <chrono>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class QEvent;
class QWidget;

namespace ov {

// Message boxes on QMessageBox: the text as plain text (line breaks written as CR, LF or
// CR LF all break the line), the icon, and the buttons of the request. An empty title
// shows the application's name. Closing the box answers Cancel where there is a Cancel
// button, No for a Yes/No question, and Ok for a plain message.
class QtPrompt : public IPrompt {
public:
    PromptAnswer Show(const std::string& text, const std::string& title, PromptIcon icon,
                      PromptButtons buttons) override;
};

// The name filters of a file dialog from the filter form "Description|patterns|..."
// (patterns separated by ";"): each pair becomes "Description (patterns)" with the
// description's own pattern list replaced by the real one, and "*.*" matching every file.
QStringList FileDialogNameFilters(const std::string& filter);
// The chosen path with ".extension" added when its file name has none. When opening, the
// extension is only added if that names an existing file and the path as typed does not.
std::string WithDefaultExtension(const std::string& path, const std::string& extension, bool open);

// The file dialog on QFileDialog. Saving asks before replacing a file.
class QtFileDialog : public IFileDialog {
public:
    std::string Show(const std::string& title, const std::string& defaultExtension,
                     const std::string& initialFileName, const std::string& filter,
                     bool open) override;
    // Choosing another file type changes the default extension and the extension of the
    // name in the name field to the type's.
    SaveChoice ShowSave(const std::string& title, const std::string& initialFileName, const std::string& filter,
                        int initialFilter) override;
};

// Installs the Qt services above (and the Esc key of QtEscapeKey.h) and the beep for its lifetime.
class QtDesktopServices {
public:
    QtDesktopServices();
    ~QtDesktopServices();
    QtDesktopServices(const QtDesktopServices&) = delete;
    QtDesktopServices& operator=(const QtDesktopServices&) = delete;

    QtEscapeKey& EscapeKey() { return m_escape; }

private:
    QtPrompt m_prompt;
    QtFileDialog m_fileDialog;
    QtEscapeKey m_escape;
};

} // namespace ov
