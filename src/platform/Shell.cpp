#include "platform/Shell.h"

#include <QDesktopServices>
#include <QMimeDatabase>
#include <QProcess>
#include <QUrl>
#include <optional>

namespace {

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
// The desktop's default program for a type, asked of xdg-mime; nullopt when xdg-mime cannot answer.
std::optional<QString> defaultProgramFor(const QString& mimeType) {
    QProcess query;
    query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), mimeType});
    if (!query.waitForFinished(5000) || query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0)
        return std::nullopt;
    return QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
}

// Whether the desktop names a program for the file's type or a type it derives from (text/plain for a C source).
// Only a definite "none" counts: where xdg-mime is missing or fails, the opening is tried.
bool desktopHasProgramFor(const QString& path) {
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path);
    for (const QString& name : QStringList{type.name()} + type.allAncestors()) {
        const std::optional<QString> program = defaultProgramFor(name);
        if (!program || !program->isEmpty())
            return true;
    }
    return false;
}
#endif

} // namespace

bool DesktopShell::openFile(const QString& path) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // The desktop hands a file to xdg-open and reports success once it has started, whether or not any program
    // takes the type; asking first lets the window say that nothing will open it.
    if (!desktopHasProgramFor(path))
        return false;
#endif
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool DesktopShell::startProgram(const QString& path, const QStringList& arguments) {
    return QProcess::startDetached(path, arguments);
}
