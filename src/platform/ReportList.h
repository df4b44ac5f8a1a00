#pragma once

#include "data/ListColumns.h"
#include "data/PackedRows.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QSet>
#include <QStringList>
#include <QTableView>
#include <QVariant>
#include <memory>
#include <vector>

struct AppContext;
class QAction;
class QMenu;

// The rows of a ReportList. Rows added one by one keep their display text packed in one string; a long list read
// by a store arrives as PackedRows, kept as the engine gave them and turned into display text only for the cells
// asked for (on screen, printed), under its columns' display rules.
class ReportListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Column {
        QString header;
        QString tag;
        Qt::Alignment alignment = Qt::AlignLeft;
    };

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    void addColumn(const Column& column);
    const Column& column(int i) const { return m_columns.at(static_cast<size_t>(i)); }
    void clearColumns();
    void clearRows();
    int addRow(const QStringList& cells, const QVariant& tag);
    // Adds many rows with one notification; much faster than addRow for a whole list.
    void beginBulk();
    void appendBulk(const QStringList& cells, const QVariant& tag);
    void endBulk();

    // Replaces the rows with rows read by a store; the tag of a row is its cell tagCell (an id: a number).
    void setPacked(PackedRows rows, const ListColumns& rules, int tagCell);
    // Re-sorts packed rows by a column as a statement ordering by it would; false when only the statement can.
    bool sortPacked(int col, bool descending);

    // Takes one row out of the list; packed rows stay in memory, only no longer shown.
    void removeRow(int row);
    // The first row tagged with the id, or -1.
    int rowOfTag(qint64 id) const;

    QString text(int row, int col) const;
    QStringList cells(int row) const;
    QVariant tag(int row) const;
    void setText(int row, int col, const QString& text);

private:
    struct Row {
        QString packed; // cells joined by kSeparator
        QVariant tag;
        // Set instead of packed when a cell holds the separator itself, which would otherwise split that cell.
        std::unique_ptr<const QStringList> unpacked;
    };
    static Row pack(const QStringList& cells, const QVariant& tag);

    bool packedMode() const { return m_packed.columnCount() > 0; }
    int packedRow(int row) const { return m_shown ? static_cast<int>(m_order[static_cast<size_t>(row)]) : row; }

    std::vector<Column> m_columns;
    std::vector<Row> m_rows;
    int m_bulkFirst = -1;
    PackedRows m_packed;
    ListColumns m_rules;
    int m_tagCell = 0;
    std::vector<uint32_t> m_order; // packed row of each shown row once re-sorted or rows were taken out
    bool m_shown = false;          // m_order says which rows show; otherwise every row, as read
};

// A list in report view: columns with header, tag, width and alignment; rows with text, cells, tag and
// selection. Sorting is the owner's business: a header click is only reported.
// A table view rather than a tree: a tree keeps a layout item of about 40 bytes for every row, a table's row header
// about 8, which on a million rows is the difference between fitting and not.
class ReportList : public QTableView {
    Q_OBJECT
public:
    explicit ReportList(QWidget* parent = nullptr);

    // The column header.
    QHeaderView* header() const { return horizontalHeader(); }

    // Columns. Width in pixels; 0 takes the default width, or the header's where that is wider. While the list
    // is wider than its columns, those whose text is cut share the spare width. A column shown whole widens to its
    // widest value (up to the list's width), first taking the room other columns leave empty; short of room, the
    // list scrolls sideways rather than cut it.
    void addColumn(const QString& header, const QString& tag = QString(), int width = 0,
                   Qt::Alignment alignment = Qt::AlignLeft);
    int columnCount() const { return m_model->columnCount(); }
    QString columnHeader(int col) const { return m_model->column(col).header; }
    QString columnTag(int col) const { return m_model->column(col).tag; }
    // The column tagged tag, or -1.
    int columnOfTag(const QString& tag) const;
    Qt::Alignment columnAlignment(int col) const { return m_model->column(col).alignment; }
    int columnWidthPixels(int col) const { return columnWidth(col); }
    void clearColumns();
    // Replaces the columns (and so the rows) with a list's own: header and key, which is the column's tag.
    void setColumns(const ListColumns& columns);
    void setColumnWhole(int col, bool whole = true);
    bool isColumnWhole(int col) const { return col >= 0 && col < static_cast<int>(m_whole.size()) && m_whole[col]; }

    // Rows. The row's text is its first cell.
    int addRow(const QStringList& cells, const QVariant& tag = QVariant());
    void beginRows() { m_model->beginBulk(); }
    void appendRow(const QStringList& cells, const QVariant& tag = QVariant()) { m_model->appendBulk(cells, tag); }
    void endRows() { m_model->endBulk(); }
    // Replaces the rows, in one bulk append.
    void setRows(const std::vector<ListRow>& rows);
    // Replaces the rows with a store's packed rows; columns give each cell's display rule.
    void setRows(PackedRows rows, const ListColumns& columns, int tagCell = 0) {
        m_model->setPacked(std::move(rows), columns, tagCell);
    }
    // Re-sorts the rows by a column in the order a statement sorting by it would give, without running one; false
    // when the rows cannot tell (the caller then reads them again in that order).
    bool sortRows(int col, bool descending) { return m_model->sortPacked(col, descending); }
    void clearRows();
    void removeRow(int row) { m_model->removeRow(row); }
    int rowOfTag(qint64 id) const { return m_model->rowOfTag(id); }
    int rowCount() const { return m_model->rowCount(); }
    QString text(int row, int col = 0) const { return m_model->text(row, col); }
    // The cell of the column tagged tag; empty when the list has no such column.
    QString text(int row, const QString& tag) const { return text(row, columnOfTag(tag)); }
    QStringList cells(int row) const { return m_model->cells(row); }
    QVariant rowTag(int row) const { return m_model->tag(row); }
    void setText(int row, int col, const QString& text) { m_model->setText(row, col, text); }

    // Selection.
    bool isRowSelected(int row) const;
    void setRowSelected(int row, bool selected);
    QList<int> selectedRows() const; // ascending
    // The row a command for one row acts on: read from the selection (platform/ListChoice), -1 when none is selected.
    int chosenRow() const;
    // Where the focus rests, selected or not: never a choice.
    int currentRow() const; // -1 when none
    void setCurrentRow(int row);

    ReportListModel* listModel() const { return m_model; }

    // "Export to CSV...": saves the list as shown (platform/ListExport). Hidden until the list is given the context
    // whose dialogs ask for the file, which opening a window does for every list in it. A list whose owner answers
    // right clicks with a menu of its own shows the entry in that menu; any other list shows it in a menu of its own.
    void setExportContext(AppContext* ctx);
    QAction* exportAction() const { return m_exportAction; }
    // Another entry for the list's own menu, after the export (a list whose owner answers right clicks leaves it to
    // the owner's menu).
    void addMenuAction(QAction* action);

signals:
    void headerClicked(int column);
    void rowDoubleClicked(int row);
    void keyReleased(int key);
    void rightClicked(int row, const QPoint& globalPos);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // Measures what each column's text needs, then spreads the width.
    void measureColumns();
    void fitColumns();

    ReportListModel* m_model;
    AppContext* m_exportCtx = nullptr;
    QAction* m_exportAction;
    QMenu* m_menu;
    QSet<int> m_pressedKeys;
    std::vector<int> m_headerWidths; // the header's own width, or the width asked for
    std::vector<int> m_baseWidths;   // asked for, or the default width grown to the header's
    std::vector<int> m_textWidths;   // what the widest text in the measured rows needs; 0 while all are empty
    std::vector<bool> m_whole;
    bool m_fitting = false;
    bool m_measurePending = false;
    bool m_userSized = false; // a column dragged by hand keeps its width until the columns are rebuilt
};
