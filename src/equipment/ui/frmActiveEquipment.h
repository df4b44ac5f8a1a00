#pragma once

#include "data/SortCycle.h"
#include "platform/AppContext.h"
#include "platform/OpenWindow.h"

#include <QWidget>

class QToolBar;
class ReportList;

// Every active unit of the inventory with its current location.
class frmActiveEquipment : public QWidget {
    Q_OBJECT
public:
    explicit frmActiveEquipment(AppContext& ctx, QWidget* parent = nullptr);

    void load();
    // Reloads the list; key is a column's sort key (toggling ascending and descending) or empty for the
    // database's order.
    void loadList(const QString& key);
    void loadRows(const SortOrder& order);
    void sortList(int column, const QString& key);

    ReportList* list() const { return m_list; }
    QToolBar* toolbar() const { return m_toolbar; }

public slots:
    void toolbarClicked(const QString& tag);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    bool openDetail(int row, OnTooManyWindows onTooMany);
    void createEquipment();
    void deleteSelected();

    AppContext& m_ctx;
    QToolBar* m_toolbar;
    ReportList* m_list;
    SortCycle m_sort;
};
