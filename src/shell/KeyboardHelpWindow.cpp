#include "shell/KeyboardHelpWindow.h"

#include "platform/FormHelpers.h"
#include "platform/ProductTitle.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
QString plainCaption(QString caption) {
    caption.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    return caption.replace(QStringLiteral("&&"), QStringLiteral("&"));
}
} // namespace

KeyboardHelpWindow::KeyboardHelpWindow(AppContext&, QWidget* parent)
    : QWidget(parent), m_table(new QTableWidget(this)) {
    setObjectName(QStringLiteral("KeyboardHelpWindow"));
    setWindowTitle(captionFor(QStringLiteral("Keyboard Shortcuts")));
    m_table->setObjectName(QStringLiteral("tblShortcuts"));
    m_table->setAccessibleName(QStringLiteral("Keyboard Shortcuts"));
    m_table->setColumnCount(2);
    m_table->setHorizontalHeaderLabels({QStringLiteral("Keys"), QStringLiteral("What they do")});
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setWordWrap(true);
    m_table->verticalHeader()->hide();
    // Rows follow the wrapped text as the window is sized.
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setStretchLastSection(true);
    auto* close = makeButton(this, "cmdClose", QStringLiteral("Close"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_table, 1);
    layout->addLayout(buttons);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    setShortcuts(everyWindowKeys());
    resize(720, 560);
}

QList<KeyboardHelpWindow::Shortcut> KeyboardHelpWindow::menuShortcuts(const QMenuBar* bar) {
    QList<Shortcut> shortcuts;
    for (QAction* top : bar->actions()) {
        if (!top->menu())
            continue;
        for (QAction* entry : top->menu()->actions())
            if (!entry->shortcut().isEmpty())
                shortcuts.append({entry->shortcut().toString(QKeySequence::NativeText),
                                  plainCaption(top->text()) + QStringLiteral(" > ") + plainCaption(entry->text())});
    }
    return shortcuts;
}

QList<KeyboardHelpWindow::Shortcut> KeyboardHelpWindow::everyWindowKeys() {
    return {
        {QStringLiteral("Ctrl+C in a text box"), QStringLiteral("Copy (elsewhere Ctrl+C opens Create Location)")},
        {QStringLiteral("Ctrl+F4"),
         QStringLiteral("Close the active window; the window it was opened from comes back")},
        {QStringLiteral("Enter"), QStringLiteral("In a list: open the selected rows. In a search box: search. On a "
                                                 "focused button: press it")},
        {QStringLiteral("Esc"), QStringLiteral("Cancel or close the window (asking first where typing would be lost)")},
        {QStringLiteral("Tab, Shift+Tab"), QStringLiteral("Next or previous field, in reading order")},
        {QStringLiteral("Alt+underlined letter"), QStringLiteral("The menu or button with that letter")},
        {QStringLiteral("Ctrl+click, Shift+click, Shift+arrows"), QStringLiteral("Select several rows of a list")},
        {QStringLiteral("Menu key on a list"), QStringLiteral("A list's own menu (Export to CSV...)")},
        {QStringLiteral("F2 in the location explorer"),
         QStringLiteral("Edit the selected location's label on screen (Esc shows the stored name again)")},
    };
}

void KeyboardHelpWindow::setShortcuts(const QList<Shortcut>& shortcuts) {
    m_table->setRowCount(static_cast<int>(shortcuts.size()));
    for (int row = 0; row < shortcuts.size(); ++row) {
        m_table->setItem(row, 0, new QTableWidgetItem(shortcuts[row].first));
        m_table->setItem(row, 1, new QTableWidgetItem(shortcuts[row].second));
    }
    m_table->resizeColumnToContents(0);
}
