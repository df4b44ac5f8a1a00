#pragma once

#include "equipment/store/UnitStore.h"

#include <vector>

class QWidget;
class ReportList;

// A unit's assignment history as both equipment windows list it: the list, and its rows newest first.
ReportList* makeHistoryList(QWidget* parent);
void showHistory(ReportList* list, const std::vector<AssignmentRow>& rows);
