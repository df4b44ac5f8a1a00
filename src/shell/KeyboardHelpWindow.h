#pragma once

#include "platform/AppContext.h"

#include <QList>
#include <QPair>
#include <QWidget>

class QMenuBar;
class QTableWidget;

// Help's list of every key the application answers: the menu entries' shortcuts as the menu bar has them, then
// the rules that hold in every window.
class KeyboardHelpWindow : public QWidget {
    Q_OBJECT
public:
    using Shortcut = QPair<QString, QString>; // keys, what they do

    explicit KeyboardHelpWindow(AppContext& ctx, QWidget* parent = nullptr);

    // The menu bar's entries that carry a shortcut, as "Menu > Entry".
    static QList<Shortcut> menuShortcuts(const QMenuBar* bar);
    static QList<Shortcut> everyWindowKeys();
    void setShortcuts(const QList<Shortcut>& shortcuts);

    QTableWidget* table() const { return m_table; }

private:
    QTableWidget* m_table;
};
