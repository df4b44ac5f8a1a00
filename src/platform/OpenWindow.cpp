#include "platform/OpenWindow.h"

#include "platform/ReportList.h"

void reportTooManyWindows(AppContext& ctx, QWidget* parent, OnTooManyWindows how) {
    if (how == OnTooManyWindows::Report)
        ctx.dialogs->message(parent, kOutOfMemoryText + QLatin1Char('\n') +
                                         QStringLiteral("Too Many windows are currently open"));
    else if (how == OnTooManyWindows::AsFailure)
        showFailure(*ctx.dialogs, parent, kOutOfMemoryText);
}

void offerListExport(QWidget* window, AppContext& ctx) {
    for (ReportList* list : window->findChildren<ReportList*>())
        list->setExportContext(&ctx);
}

void opensRowWindows(ReportList* list, const std::function<bool(int row, OnTooManyWindows how)>& open,
                     OnTooManyWindows onDoubleClick, OnTooManyWindows onEnter) {
    // A double click acts on the row it landed on.
    QObject::connect(list, &ReportList::rowDoubleClicked, list, [open, onDoubleClick](int row) {
        if (row >= 0)
            open(row, onDoubleClick);
    });
    QObject::connect(list, &ReportList::keyReleased, list, [list, open, onEnter](int key) {
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return;
        for (int row : list->selectedRows())
            if (!open(row, onEnter))
                return;
    });
}
