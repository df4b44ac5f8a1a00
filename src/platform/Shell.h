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

class DesktopShell : public Shell {
public:
    bool openFile(const QString& path) override;
    bool startProgram(const QString& path, const QStringList& arguments) override;
};
