#pragma once

#include "platform/AppContext.h"
#include "platform/OpenWindow.h"

#include <QString>
#include <QWidget>

class KeyStatusBar;
class QLabel;
class QSplitter;
class QTreeWidget;
class QTreeWidgetItem;
class ReportList;

// Browses the equipment by location: the active locations as a tree, the active units of the one double-clicked
// beside it, and each unit one double click away from its detail window. It only reads.
class FrmDocExplorer : public QWidget {
    Q_OBJECT
public:
    explicit FrmDocExplorer(AppContext& ctx, QWidget* parent = nullptr);

    // Where a node keeps its key (the id, a blank and the number of nodes before it), its tag (the id) and the
    // location's stored name.
    static constexpr int KeyRole = Qt::UserRole;
    static constexpr int TagRole = Qt::UserRole + 1;
    static constexpr int NameRole = Qt::UserRole + 2;

    void load();
    // Lists the chosen location's active units sorted by the column key, ascending.
    void PopulateEquipmentList(const QString& sortColumn);
    // Makes the selected node's location the chosen one and lists its units by type.
    void chooseLocation();
    qint64 chosenLocation() const { return m_chosen; }

    QTreeWidget* tree() const { return m_tree; }
    ReportList* list() const { return m_list; }
    QSplitter* splitter() const { return m_splitter; }
    KeyStatusBar* statusBar() const { return m_status; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void AddLocationNode(qint64 id, const QString& name);
    bool openDetail(int row, OnTooManyWindows how);

    AppContext& m_ctx;
    QTreeWidget* m_tree;
    ReportList* m_list;
    QSplitter* m_splitter;
    KeyStatusBar* m_status;
    qint64 m_chosen = 0;
    bool m_enterPressed = false; // Enter released here was pressed here, not in a label editor just closed
};
