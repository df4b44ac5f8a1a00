#pragma once

#include "data/SortCycle.h"
#include "platform/AppContext.h"
#include "platform/OpenWindow.h"

#include <QWidget>

class QToolBar;
class ReportList;

// The hub of the locations: every active location with its equipment count.
class frmActiveLocations : public QWidget {
    Q_OBJECT
public:
    explicit frmActiveLocations(AppContext& ctx, QWidget* parent = nullptr);

    void load();
    // Rebuilds the list; order is a column tag (toggling ascending and descending) or empty for by name.
    void populateTree(const QString& Order);

    ReportList* list() const { return m_list; }
    QToolBar* toolbar() const { return m_toolbar; }
    const QString& rememberedSortColumn() const { return m_sort.remembered(); }

public slots:
    void toolbarClicked(const QString& tag);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void headerClicked(int column);
    bool openDetail(int row, OnTooManyWindows onTooMany);
    void deleteSelected();
    void reassignSelected();
    void print(const QString& tag);

    AppContext& m_ctx;
    QToolBar* m_toolbar;
    ReportList* m_list;
    SortCycle m_sort;
};
