#include "platform/ListExport.h"

#include "data/CsvWriter.h"
#include "platform/AppContext.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/ProductTitle.h"
#include "platform/Registry.h"
#include "platform/ReportList.h"
#include "platform/WindowHost.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QMdiSubWindow>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

// Logical indexes of the sections shown, in the order shown (the user may have moved or hidden some).
QList<int> shownSections(const QHeaderView* header, int count) {
    QList<int> sections;
    for (int visual = 0; visual < count; ++visual) {
        const int logical = header->logicalIndex(visual);
        if (logical >= 0 && !header->isSectionHidden(logical))
            sections << logical;
    }
    return sections;
}

// The caption of the window the list is part of: a child of the main window's frame is no window of its own to
// Qt, so the climb stops below the frame as well as at a top-level window.
QString windowCaption(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget())
        if (w->isWindow() || qobject_cast<const QMdiSubWindow*>(w->parentWidget()))
            return w->windowTitle();
    return {};
}

const QString kExportKey = QStringLiteral("Software\\Kavrel\\List Export");
const QString kLastFolderValue = QStringLiteral("Last Folder");

// The folder of the last export while it is still there, else the user's documents.
QString startFolder(const AppContext& ctx) {
    QString last =
        ctx.registry
            ? ctx.registry->readText(Registry::Root::CurrentUser, kExportKey, kLastFolderValue).value_or(QString())
            : QString();
    if (!last.isEmpty() && QFileInfo(last).isDir())
        return last;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : documents;
}

} // namespace

QString suggestedCsvName(const QString& caption, const QDate& date) {
    QString name = caption;
    if (name.startsWith(kProductTitle))
        name = name.mid(kProductTitle.size());
    static const QRegularExpression unfit(QStringLiteral("[\\\\/:*?\"<>|\\x00-\\x1f]"));
    name = name.replace(unfit, QStringLiteral(" ")).simplified();
    if (name.isEmpty())
        name = QStringLiteral("List");
    return name + QLatin1Char(' ') + date.toString(Qt::ISODate) + QStringLiteral(".csv");
}

QString writeListCsv(const ReportList& list, const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    CsvWriter csv(file);
    const QList<int> columns = shownSections(list.horizontalHeader(), list.columnCount());
    QStringList cells;
    for (int col : columns)
        cells << list.columnHeader(col);
    csv.writeRow(cells);
    const QHeaderView* rows = list.verticalHeader();
    for (int visual = 0; visual < list.rowCount() && csv.ok(); ++visual) {
        const int row = rows->logicalIndex(visual);
        if (row < 0 || list.isRowHidden(row))
            continue;
        cells.clear();
        for (int col : columns)
            cells << list.text(row, col);
        csv.writeRow(cells);
    }
    if (!csv.ok() || !file.commit())
        return file.errorString();
    return {};
}

void exportList(const ReportList& list, AppContext& ctx, QWidget* parent) {
    const QString name = suggestedCsvName(windowCaption(&list), ctx.clock->today());
    const QString path = ctx.dialogs->saveFile(parent, QStringLiteral("Export to CSV"),
                                               QStringLiteral("CSV files (*.csv);;All files (*)"),
                                               QDir(startFolder(ctx)).filePath(name));
    if (path.isEmpty())
        return;
    const QString failure = writeListCsv(list, path);
    if (!failure.isEmpty()) {
        ctx.dialogs->message(
            parent,
            QStringLiteral("The list could not be saved as %1:\n%2").arg(QDir::toNativeSeparators(path), failure),
            Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
        return;
    }
    if (ctx.registry)
        ctx.registry->writeText(Registry::Root::CurrentUser, kExportKey, kLastFolderValue,
                                QFileInfo(path).absolutePath());
    ctx.windows->showStatus(QStringLiteral("The list was saved as %1.").arg(QDir::toNativeSeparators(path)));
}
