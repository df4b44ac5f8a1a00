#pragma once

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

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
