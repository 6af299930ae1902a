#include "app/desktop/QtDesktop.h"

#include "app/desktop/LocalPath.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QWidget>
#include <algorithm>

namespace ov {

// ---------------------------------------------------------------------------------------
// Messages

namespace {

QMessageBox::Icon BoxIcon(PromptIcon icon) {
    switch (icon) {
    case PromptIcon::Information:
        return QMessageBox::Information;
    case PromptIcon::Warning:
        return QMessageBox::Warning;
    case PromptIcon::Critical:
        return QMessageBox::Critical;
    case PromptIcon::Question:
        return QMessageBox::Question;
    case PromptIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QString PlainLines(const std::string& text) {
    QString lines = QString::fromStdString(text);
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(u'\r', u'\n');
    return lines;
}

QWidget* DialogParent() {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return QApplication::activeWindow();
}

} // namespace

PromptAnswer QtPrompt::Show(const std::string& text, const std::string& title, PromptIcon icon,
                            PromptButtons buttons) {
    QMessageBox box(DialogParent());
    box.setIcon(BoxIcon(icon));
    box.setWindowTitle(title.empty() ? QApplication::applicationDisplayName()
                                     : QString::fromStdString(title));
    box.setTextFormat(Qt::PlainText);
    box.setText(PlainLines(text));
    switch (buttons) {
    case PromptButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
        break;
    case PromptButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    case PromptButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        break;
    case PromptButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    }
    box.exec();
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Yes:
        return PromptAnswer::Yes;
    case QMessageBox::No:
        return PromptAnswer::No;
    case QMessageBox::Cancel:
        return PromptAnswer::Cancel;
    case QMessageBox::Ok:
        return PromptAnswer::Ok;
    default:
        break;
    }
    // Closed some other way (the window manager's close button): the escape answer.
    switch (buttons) {
    case PromptButtons::Ok:
        return PromptAnswer::Ok;
    case PromptButtons::YesNo:
        return PromptAnswer::No;
    case PromptButtons::OkCancel:
    case PromptButtons::YesNoCancel:
        break;
    }
    return PromptAnswer::Cancel;
}

// ---------------------------------------------------------------------------------------
// File dialog

QStringList FileDialogNameFilters(const std::string& filter) {
    QStringList filters;
    if (filter.empty()) return filters;
    const QStringList pieces = QString::fromStdString(filter).split(u'|');
    for (qsizetype i = 0; i < pieces.size(); i += 2) {
        QStringList patterns;
        if (i + 1 < pieces.size())
            for (const QString& pattern : pieces[i + 1].split(u';', Qt::SkipEmptyParts)) {
                const QString trimmed = pattern.trimmed();
                if (trimmed.isEmpty()) continue;
                // "*.*" means every file here, also those without a dot.
                patterns << (trimmed == QStringLiteral("*.*") ? QStringLiteral("*") : trimmed);
            }
        if (patterns.isEmpty()) patterns << QStringLiteral("*");
        const QString list = patterns.join(u' ');

        // The dialog takes its patterns from the description's parentheses, so the
        // description's own list (often written for people: "(*.*)") gives way to the real one.
        QString description = pieces[i].trimmed();
        if (description.endsWith(u')') && description.contains(u'('))
            description = description.left(description.lastIndexOf(u'(')).trimmed();
        if (description.isEmpty()) description = list;
        filters << description + QStringLiteral(" (") + list + u')';
    }
    return filters;
}

std::string WithDefaultExtension(const std::string& path, const std::string& extension, bool open) {
    std::string suffix = extension;
    if (!suffix.empty() && suffix.front() == '.') suffix.erase(0, 1);
    if (path.empty() || suffix.empty()) return path;
    const std::size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty() || name.find('.', 1) != std::string::npos) return path;
    const std::string extended = path + '.' + suffix;
    if (!open) return extended;
    const bool asTyped = QFileInfo::exists(QString::fromStdString(path));
    return !asTyped && QFileInfo::exists(QString::fromStdString(extended)) ? extended : path;
}

namespace {

QString WithoutDot(const std::string& extension) {
    return QString::fromStdString(!extension.empty() && extension.front() == '.' ? extension.substr(1) : extension);
}

// The dialog's title, file types, default extension and starting folder and name.
void SetUpFileDialog(QFileDialog& dialog, const std::string& defaultExtension, const std::string& initialFileName,
                     const std::string& filter, bool open) {
    dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    const QStringList filters = FileDialogNameFilters(filter);
    if (!filters.isEmpty()) dialog.setNameFilters(filters);
    const QString suffix = WithoutDot(defaultExtension);
    if (!suffix.isEmpty()) dialog.setDefaultSuffix(suffix);
    if (initialFileName.empty()) return;
    const QFileInfo initial(QString::fromStdString(initialFileName));
    if (initial.isDir()) {
        dialog.setDirectory(initial.absoluteFilePath());
    } else {
        if (initial.absoluteDir().exists()) dialog.setDirectory(initial.absolutePath());
        dialog.selectFile(initial.fileName());
    }
}

// The first file chosen, "" when none was.
std::string ChosenFile(const QFileDialog& dialog) {
    const QStringList chosen = dialog.selectedFiles();
    return chosen.isEmpty() ? std::string() : LocalPath(chosen.front());
}

// The name in the name field with its extension changed to extension. Only the extension
// of one of the dialog's file types gives way: a name without one gets the default extension
// when chosen, and other dots may belong to the name itself.
void FollowFileType(QFileDialog& dialog, const std::string& filter, const std::string& extension) {
    const QString name = QFileInfo(QString::fromStdString(ChosenFile(dialog))).fileName();
    if (extension.empty() || FilterIndexOfPath(filter, name.toStdString()) < 0) return;
    const QString renamed = name.left(name.lastIndexOf(u'.') + 1) + QString::fromStdString(extension);
    if (renamed != name) dialog.selectFile(renamed);
}

} // namespace

std::string QtFileDialog::Show(const std::string& title, const std::string& defaultExtension,
                               const std::string& initialFileName, const std::string& filter,
                               bool open) {
    QFileDialog dialog(DialogParent(), QString::fromStdString(title));
    SetUpFileDialog(dialog, defaultExtension, initialFileName, filter, open);
    if (dialog.exec() != QDialog::Accepted) return {};
    const std::string chosen = ChosenFile(dialog);
    return chosen.empty() ? chosen : WithDefaultExtension(chosen, defaultExtension, open);
}

SaveChoice QtFileDialog::ShowSave(const std::string& title, const std::string& initialFileName,
                                  const std::string& filter, int initialFilter) {
    QFileDialog dialog(DialogParent(), QString::fromStdString(title));
    SetUpFileDialog(dialog, FilterExtension(filter, initialFilter), initialFileName, filter, false);
    const QStringList filters = dialog.nameFilters();
    if (initialFilter >= 0 && initialFilter < filters.size()) dialog.selectNameFilter(filters[initialFilter]);
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& chosen) {
        const std::string extension = FilterExtension(filter, static_cast<int>(filters.indexOf(chosen)));
        dialog.setDefaultSuffix(QString::fromStdString(extension));
        FollowFileType(dialog, filter, extension);
    });
    if (dialog.exec() != QDialog::Accepted) return {};
    SaveChoice choice;
    choice.FilterIndex = std::max(0, static_cast<int>(filters.indexOf(dialog.selectedNameFilter())));
    const std::string chosen = ChosenFile(dialog);
    if (!chosen.empty()) choice.Path = WithDefaultExtension(chosen, FilterExtension(filter, choice.FilterIndex), false);
    return choice;
}

// ---------------------------------------------------------------------------------------

QtDesktopServices::QtDesktopServices() {
    SetPrompt(&m_prompt);
    SetFileDialog(&m_fileDialog);
    SetEscapeKey(&m_escape);
    SetBeep([] { QApplication::beep(); });
}

QtDesktopServices::~QtDesktopServices() {
    SetBeep({});
    SetEscapeKey(nullptr);
    SetFileDialog(nullptr);
    SetPrompt(nullptr);
}

} // namespace ov
