#pragma once

#include <QString>
#include <QStringList>

// What the windows ask of the desktop shell.
class Shell {
public:
    virtual ~Shell() = default;
    // Opens a file with the program the desktop associates with its type.
    virtual bool openFile(const QString& path) = 0;
    // Starts a program in its own normal window.
    virtual bool startProgram(const QString& path, const QStringList& arguments = {}) = 0;
};

// Whether the desktop names a program for the file's type or a type it derives from (text/plain for a C source).
// On Linux it asks xdg-mime, and only a definite "none" is false: where xdg-mime is missing or fails, the opening is
// left to the desktop; elsewhere the desktop's own opening tells.
bool desktopHasProgramFor(const QString& path);

class DesktopShell : public Shell {
public:
    bool openFile(const QString& path) override;
    bool startProgram(const QString& path, const QStringList& arguments) override;
};
