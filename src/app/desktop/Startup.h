#pragma once
// Start-up and shut-down of the application: what the command line asks for, the main
// window with its stored placement, the single running instance and the desktop files.

#include <QString>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

class QApplication;

namespace ov {

class InstanceServer;
class frmMain;

// What the command line asks for. It starts with "-DDE" (any case) when the desktop opens a
// file with the program: that file follows, and no untitled document is wanted. Files may
// also be named without the switch ("orthovane house.ovp"); they then take the place of the
// untitled document. Other arguments starting with "-" are options and are skipped, unless
// they follow "--".
struct CommandLine {
    bool OpenUntitled = true;
    std::vector<std::string> Files; // absolute paths
};

// arguments: the program's arguments without the program itself; relative paths are taken
// from workingDirectory.
CommandLine ReadCommandLine(const QStringList& arguments, const QString& workingDirectory);

// Opens what the command line asks for in the main window: the untitled document, or the
// files, each as a project.
void OpenStartupDocuments(frmMain& main, const CommandLine& commandLine);

// Brings the main window forward with a file just opened for another program.
void BringToFront(frmMain& main);

// Serves the open commands of later starts under serverName: each file named by a valid
// execute string is opened as a project in the main window, which comes forward, though
// never while busy says so. The server belongs to the main window; null when it cannot
// serve (another instance does).
InstanceServer* ServeOpenCommands(frmMain& main, const QString& serverName,
                                  std::function<bool()> busy = {});

// Numbers shown to the user (coordinates in messages and panels) follow their locale.
void InstallLocaleNumberText();

// The whole run of the program, from the command line to the stored window placement at
// the end; the exit status. The application's organisation and name are set already.
int RunApplication(QApplication& app);

} // namespace ov
