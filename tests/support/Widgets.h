#pragma once

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolTip>

// Controls of a window under test, found by object name; a missing one ends the run, naming it.
inline QLineEdit* box(QWidget* window, const QString& name) {
    auto* b = window->findChild<QLineEdit*>(name);
    if (!b)
        qFatal("no text box %s", qPrintable(name));
    return b;
}

inline void click(QWidget* window, const QString& name) {
    auto* b = window->findChild<QPushButton*>(name);
    if (!b)
        qFatal("no button %s", qPrintable(name));
    QTest::mouseClick(b, Qt::LeftButton);
}

// The tool tip that hovering over the item shows; empty when none shows.
inline QString toolTipAt(QAbstractItemView* view, const QModelIndex& index) {
    QToolTip::hideText();
    if (!QTest::qWaitFor([] { return !QToolTip::isVisible(); }))
        qFatal("a tool tip stays shown");
    const QPoint at = view->visualRect(index).center();
    QHelpEvent hover(QEvent::ToolTip, at, view->viewport()->mapToGlobal(at));
    QApplication::sendEvent(view->viewport(), &hover);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}
