#pragma once

#include "platform/OpenWindow.h"

#include <QList>
#include <QString>
#include <QtGlobal>

#include <functional>

class QMenuBar;
class QWidget;

// How a window asks for another window of a different subsystem: by what it wants, not by the window's class.
// The shell implements it and is the only place that knows every window.
class Navigator {
public:
    // The main window's menu bar, or the copy a detail window carries (without the two entries that edit the
    // additional-field captions).
    enum class Menu { MainWindow, DetailWindow };

    virtual ~Navigator() = default;

    virtual void fillMenuBar(QMenuBar* bar, QWidget* owner, Menu variant) = 0;
    // A new "Create Location" window; false when none opened (too many windows, reported).
    virtual bool createLocation(QWidget* owner) = 0;
    // A new equipment detail window for the unit id, captioned with its serial number; false when none opened.
    virtual bool equipmentDetail(QWidget* owner, qint64 id, const QString& serial, OnTooManyWindows how) = 0;
    // A stocktake window counting the location; false when none opened.
    virtual bool stocktake(QWidget* owner, qint64 locId, OnTooManyWindows how) = 0;
    // A new "Print Labels" window for the units, in that order; false when none opened.
    virtual bool printLabels(QWidget* owner, const QList<qint64>& unitIds) = 0;
    // The CSV import window; onImported runs after each import that added rows. False when none opened.
    virtual bool importEquipment(QWidget* owner, std::function<void()> onImported) = 0;
};

// A child window with a menu bar of its own, which the main window shows in place of its own bar while the
// child is active.
class HasOwnMenuBar {
public:
    virtual ~HasOwnMenuBar() = default;
    virtual QMenuBar* ownMenuBar() const = 0;
};
