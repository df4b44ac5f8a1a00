#include "platform/PrintoutFile.h"

#include "platform/Dialogs.h"
#include "platform/Printer.h"
#include "platform/ProductTitle.h"
#include "platform/Shell.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

QString reservePrintoutPdf(const QString& dataDir) {
    const QString folder = QDir(dataDir).filePath(QStringLiteral("Printouts"));
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir())
        throw PrintError(QStringLiteral("Cannot create the folder %1.").arg(QDir::toNativeSeparators(folder)));
    const QString stem = QStringLiteral("%1-%2").arg(
        kProductTitle, QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz")));
    for (int n = 1; n < 1000; ++n) {
        const QString name = n == 1 ? stem : QStringLiteral("%1-%2").arg(stem).arg(n);
        QFile file(QDir(folder).filePath(name + QLatin1String(".pdf")));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return file.fileName();
        if (!file.exists())
            throw PrintError(QStringLiteral("Cannot write %1: %2")
                                 .arg(QDir::toNativeSeparators(file.fileName()), file.errorString()));
    }
    throw PrintError(QStringLiteral("Cannot find a free file name in %1.").arg(QDir::toNativeSeparators(folder)));
}

void announcePrintoutPdf(const QString& path, Shell& shell, Dialogs& dialogs, QWidget* parent) {
    QString text =
        QStringLiteral("No printer is available. The printout was saved as %1.").arg(QDir::toNativeSeparators(path));
    if (!shell.openFile(path))
        text += QStringLiteral(" It could not be opened with a PDF viewer.");
    dialogs.message(parent, text, Dialogs::Buttons::Ok, Dialogs::Icon::Information);
}
