#include "platform/ListExport.h"

#include "data/CsvWriter.h"
#include "platform/Dialogs.h"
#include "platform/ProductTitle.h"
#include "platform/ReportList.h"

#include <QDir>
#include <QHeaderView>
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

// The window's caption without the product title, cleared of the characters a file name cannot hold.
QString suggestedName(const QWidget* window) {
    QString name = window ? window->windowTitle() : QString();
    if (name.startsWith(kProductTitle))
        name = name.mid(kProductTitle.size());
    static const QRegularExpression unfit(QStringLiteral("[\\\\/:*?\"<>|\\x00-\\x1f]"));
    name = name.replace(unfit, QStringLiteral(" ")).simplified();
    return (name.isEmpty() ? QStringLiteral("List") : name) + QStringLiteral(".csv");
}

} // namespace

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

void exportList(const ReportList& list, Dialogs& dialogs, QWidget* parent) {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString path =
        dialogs.saveFile(parent, QStringLiteral("Export to CSV"), QStringLiteral("CSV files (*.csv);;All files (*)"),
                         QDir(folder).filePath(suggestedName(list.window())));
    if (path.isEmpty())
        return;
    const QString failure = writeListCsv(list, path);
    if (!failure.isEmpty())
        dialogs.message(
            parent,
            QStringLiteral("The list could not be saved as %1:\n%2").arg(QDir::toNativeSeparators(path), failure),
            Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
}
