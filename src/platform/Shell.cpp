#include "platform/Shell.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

bool DesktopShell::openFile(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool DesktopShell::startProgram(const QString& path, const QStringList& arguments) {
    return QProcess::startDetached(path, arguments);
}
