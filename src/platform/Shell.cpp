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
#endif

} // namespace

bool desktopHasProgramFor(const QString& path) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path);
    for (const QString& name : QStringList{type.name()} + type.allAncestors()) {
        const std::optional<QString> program = defaultProgramFor(name);
        if (!program || !program->isEmpty())
            return true;
    }
    return false;
#else
    Q_UNUSED(path);
    return true;
#endif
}

bool DesktopShell::openFile(const QString& path) {
    // A Linux desktop hands a file to xdg-open and reports success once it has started, whether or not any program
    // takes the type; asking first lets the window say that nothing will open it.
    if (!desktopHasProgramFor(path))
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool DesktopShell::startProgram(const QString& path, const QStringList& arguments) {
    return QProcess::startDetached(path, arguments);
}
