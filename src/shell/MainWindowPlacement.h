#pragma once

#include <QRect>
#include <QString>

class QWidget;
class Registry;

// Where the main window was left, under the current user's key.
inline const QString kPlacementKey = QStringLiteral("Software\\Kavrel\\Main Window");
inline const QString kPlacementValue = QStringLiteral("Placement");

// Most of the screen, centred in it.
QRect defaultMainWindowGeometry(const QRect& available);

// Puts the main window where it was left (maximised when it was), or at the default when nothing was kept or the
// place kept is on no screen now. Call before showing it.
void restoreMainWindowPlacement(QWidget* main, const Registry& registry);
void saveMainWindowPlacement(const QWidget* main, Registry& registry);
