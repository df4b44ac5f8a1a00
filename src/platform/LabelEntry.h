#pragma once

#include <QList>

class QAction;
class QWidget;
class ReportList;
struct AppContext;

// The units a list's rows stand for (their row tags): the selected rows, or every row when none is selected.
QList<qint64> chosenUnits(const ReportList* list);

// Gives a list whose row tags are unit ids the entry "Print Labels..." (mnuPrintLabels) in its menu, opening the
// labels window for the chosen units (asking first when that is every row of a long list). Returns the entry, for a
// window's own menus to carry too.
QAction* offerUnitLabels(ReportList* list, AppContext& ctx);
