#pragma once

#include "equipment/store/SearchStore.h"
#include "platform/AppContext.h"
#include "platform/OpenWindow.h"

class QGroupBox;
class QWidget;
class ReportList;

// The "Search Results" frame of the search windows: the units found, each opening its detail window on a double
// click or, for every selected row, on Enter.
class SearchResults {
public:
    SearchResults(AppContext& ctx, QWidget* window, const ListColumns& columns);

    // Rebuilds the list with the units whose field matches text; returns how many were found.
    int search(SearchStore::Field field, const QString& text);

    QGroupBox* frame() const { return m_frame; }
    ReportList* list() const { return m_list; }

private:
    bool openDetail(int row, OnTooManyWindows onTooMany);

    AppContext& m_ctx;
    QWidget* m_window;
    const ListColumns& m_columns;
    QGroupBox* m_frame;
    ReportList* m_list;
};
