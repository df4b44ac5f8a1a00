#include "platform/ReportList.h"

#include "platform/CutTextTips.h"
#include "platform/ListCellDelegate.h"
#include "platform/ListChoice.h"
#include "platform/ListExport.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QTimer>
#include <algorithm>
#include <numeric>

namespace {
// Unit separator: never typed, so it can join the cells of a row.
constexpr QChar kSeparator(0x1F);
// The rows a column shown whole is measured over beyond those in sight: enough for any list read whole by eye,
// few enough that a million rows open as fast as a hundred.
constexpr int kWholeRowsMeasured = 2000;
} // namespace

int ReportListModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid())
        return 0;
    if (packedMode())
        return m_shown ? static_cast<int>(m_order.size()) : m_packed.rowCount();
    return static_cast<int>(m_rows.size());
}

int ReportListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant ReportListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return text(index.row(), index.column());
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(column(index.column()).alignment | Qt::AlignVCenter);
    return {};
}

QVariant ReportListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    if (role == Qt::DisplayRole)
        return column(section).header;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(column(section).alignment | Qt::AlignVCenter);
    return {};
}

void ReportListModel::addColumn(const Column& column) {
    const int at = columnCount();
    beginInsertColumns(QModelIndex(), at, at);
    m_columns.push_back(column);
    endInsertColumns();
}

void ReportListModel::clearColumns() {
    beginResetModel();
    m_columns.clear();
    m_rows.clear();
    m_packed = PackedRows();
    m_order.clear();
    m_shown = false;
    endResetModel();
}

void ReportListModel::clearRows() {
    beginResetModel();
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_packed = PackedRows();
    m_order.clear();
    m_order.shrink_to_fit();
    m_shown = false;
    endResetModel();
}

void ReportListModel::setPacked(PackedRows rows, const ListColumns& rules, int tagCell) {
    beginResetModel();
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_packed = std::move(rows);
    m_rules = rules;
    m_tagCell = tagCell;
    m_order.clear();
    m_order.shrink_to_fit();
    m_shown = false;
    endResetModel();
}

bool ReportListModel::sortPacked(int col, bool descending) {
    if (!packedMode())
        return false;
    if (rowCount() == 0)
        return true;
    std::vector<uint32_t> order = m_packed.sorted(col, descending, m_order);
    if (order.empty())
        return false;
    beginResetModel();
    m_order = std::move(order);
    m_shown = true;
    endResetModel();
    return true;
}

void ReportListModel::removeRow(int row) {
    if (row < 0 || row >= rowCount())
        return;
    beginRemoveRows(QModelIndex(), row, row);
    if (!packedMode()) {
        m_rows.erase(m_rows.begin() + row);
    } else {
        if (!m_shown) {
            m_order.resize(static_cast<size_t>(m_packed.rowCount()));
            std::iota(m_order.begin(), m_order.end(), 0U);
            m_shown = true;
        }
        m_order.erase(m_order.begin() + row);
    }
    endRemoveRows();
}

int ReportListModel::rowOfTag(qint64 id) const {
    const int rows = rowCount();
    if (packedMode()) {
        // Compared as the stored text, so that ten thousand rows cost no conversion each.
        const QByteArray wanted = QByteArray::number(id);
        for (int row = 0; row < rows; ++row)
            if (m_packed.cell(packedRow(row), m_tagCell) == wanted)
                return row;
        return -1;
    }
    for (int row = 0; row < rows; ++row)
        if (tag(row).toLongLong() == id)
            return row;
    return -1;
}

ReportListModel::Row ReportListModel::pack(const QStringList& cells, const QVariant& tag) {
    Row row{cells.join(kSeparator), tag, nullptr};
    if (!cells.isEmpty() && row.packed.count(kSeparator) != cells.size() - 1) {
        row.packed.clear();
        row.unpacked = std::make_unique<const QStringList>(cells);
    }
    row.packed.squeeze();
    return row;
}

int ReportListModel::addRow(const QStringList& cells, const QVariant& tag) {
    if (packedMode())
        clearRows();
    const int at = rowCount();
    beginInsertRows(QModelIndex(), at, at);
    m_rows.push_back(pack(cells, tag));
    endInsertRows();
    return at;
}

void ReportListModel::beginBulk() {
    m_bulkFirst = rowCount();
}

void ReportListModel::appendBulk(const QStringList& cells, const QVariant& tag) {
    if (packedMode()) {
        m_packed = PackedRows();
        m_order.clear();
        m_shown = false;
    }
    m_rows.push_back(pack(cells, tag));
}

void ReportListModel::endBulk() {
    const int first = m_bulkFirst;
    m_bulkFirst = -1;
    const int last = rowCount() - 1;
    if (first < 0 || last < first)
        return;
    // The rows are already in place; views learn of them in one reset, which is cheapest for a fresh list.
    beginResetModel();
    endResetModel();
}

QString ReportListModel::text(int row, int col) const {
    if (row < 0 || row >= rowCount() || col < 0)
        return {};
    if (packedMode()) {
        const int r = packedRow(row);
        if (col >= m_packed.columnCount() || m_packed.isNull(r, col))
            return {};
        const QString stored = m_packed.text(r, col);
        return col < m_rules.size() ? displayText(stored, m_rules.at(col)) : stored;
    }
    const Row& r = m_rows[static_cast<size_t>(row)];
    if (r.unpacked)
        return r.unpacked->value(col);
    const QString& packed = r.packed;
    qsizetype start = 0;
    for (int i = 0; i < col; ++i) {
        start = packed.indexOf(kSeparator, start);
        if (start < 0)
            return {};
        ++start;
    }
    const qsizetype end = packed.indexOf(kSeparator, start);
    return packed.mid(start, end < 0 ? -1 : end - start);
}

QStringList ReportListModel::cells(int row) const {
    if (row < 0 || row >= rowCount())
        return {};
    if (packedMode()) {
        QStringList all;
        for (int col = 0; col < columnCount(); ++col)
            all << text(row, col);
        return all;
    }
    const Row& r = m_rows[static_cast<size_t>(row)];
    return r.unpacked ? *r.unpacked : r.packed.split(kSeparator);
}

QVariant ReportListModel::tag(int row) const {
    if (!packedMode())
        return m_rows.at(static_cast<size_t>(row)).tag;
    return m_packed.key(packedRow(row), m_tagCell);
}

void ReportListModel::setText(int row, int col, const QString& text) {
    if (packedMode()) {
        if (col >= m_packed.columnCount())
            return;
        m_packed.setCell(packedRow(row), col, text);
        emit dataChanged(index(row, col), index(row, col));
        return;
    }
    QStringList all = cells(row);
    while (all.size() <= col)
        all << QString();
    all[col] = text;
    Row& r = m_rows[static_cast<size_t>(row)];
    r = pack(all, r.tag);
    if (col < columnCount()) // a cell beyond the last column is kept but never shown
        emit dataChanged(index(row, col), index(row, col));
}

ReportList::ReportList(QWidget* parent)
    : QTableView(parent), m_model(new ReportListModel(this)),
      m_exportAction(new QAction(QStringLiteral("Export to CSV..."), this)), m_menu(new QMenu(this)) {
    setModel(m_model);
    m_exportAction->setObjectName(QStringLiteral("mnuExportCsv"));
    m_exportAction->setVisible(false);
    connect(m_exportAction, &QAction::triggered, this, [this] {
        if (m_exportCtx)
            exportList(*this, *m_exportCtx, window());
    });
    m_menu->addAction(m_exportAction);
    auto* delegate = new ListCellDelegate(this);
    setItemDelegate(delegate);
    showCutTextInToolTips(this);
    // Looks and moves like a report list: no grid, no row numbers, one line per row, Tab leaves the list.
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setTabKeyNavigation(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(delegate->rowHeight(this));
    header()->setHighlightSections(false);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setSectionsClickable(true);
    header()->setSectionsMovable(false);
    // Column widths are fitted to the rows in sight only, so a long list opens as fast as a short one.
    header()->setResizeContentsPrecision(0);
    header()->setStretchLastSection(false);
    connect(header(), &QHeaderView::sectionClicked, this, &ReportList::headerClicked);
    connect(header(), &QHeaderView::sectionResized, this, [this] {
        if (!m_fitting)
            m_userSized = true;
    });
    // New rows may bring wider text; measured once the rows are in, not per row.
    // One measure however many rows arrive one by one before the next event loop pass.
    const auto remeasure = [this] {
        if (m_measurePending)
            return;
        m_measurePending = true;
        QTimer::singleShot(0, this, [this] {
            m_measurePending = false;
            measureColumns();
        });
    };
    connect(m_model, &QAbstractItemModel::modelReset, this, remeasure);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, remeasure);
}

void ReportList::addColumn(const QString& header, const QString& tag, int width, Qt::Alignment alignment) {
    m_model->addColumn({header, tag, alignment});
    const int col = m_model->columnCount() - 1;
    // A width the caller chose stands; the default one grows to fit the header.
    const int headerWidth = width > 0 ? width : this->header()->sectionSizeHint(col);
    const int base = width > 0 ? width : std::max(this->header()->defaultSectionSize(), headerWidth);
    m_headerWidths.push_back(headerWidth);
    m_baseWidths.push_back(base);
    m_textWidths.push_back(0);
    m_whole.push_back(false);
    m_fitting = true;
    setColumnWidth(col, base);
    m_fitting = false;
}

void ReportList::clearColumns() {
    m_model->clearColumns();
    m_headerWidths.clear();
    m_baseWidths.clear();
    m_textWidths.clear();
    m_whole.clear();
    m_userSized = false;
}

void ReportList::setColumnWhole(int col, bool whole) {
    if (col < 0 || col >= static_cast<int>(m_whole.size()))
        return;
    m_whole[static_cast<size_t>(col)] = whole;
    measureColumns();
}

void ReportList::setColumns(const ListColumns& columns) {
    // A reload keeps its columns: only the rows and the widths start afresh, sparing the header a rebuild.
    bool same = columns.size() == columnCount();
    for (int col = 0; same && col < columnCount(); ++col)
        same = columns.at(col).header == columnHeader(col) && columns.at(col).key == columnTag(col) &&
               columnAlignment(col) == Qt::AlignLeft;
    if (same) {
        clearRows();
        m_userSized = false;
        std::fill(m_textWidths.begin(), m_textWidths.end(), 0);
        for (int col = 0; col < columnCount(); ++col)
            m_whole[static_cast<size_t>(col)] = columns.at(col).whole;
        fitColumns();
        return;
    }
    clearColumns();
    for (const ListColumn& column : columns) {
        addColumn(column.header, column.key);
        m_whole.back() = column.whole;
    }
}

int ReportList::columnOfTag(const QString& tag) const {
    for (int col = 0; col < columnCount(); ++col)
        if (columnTag(col) == tag)
            return col;
    return -1;
}

int ReportList::addRow(const QStringList& cells, const QVariant& tag) {
    return m_model->addRow(cells, tag);
}

void ReportList::setRows(const std::vector<ListRow>& rows) {
    clearRows();
    beginRows();
    for (const ListRow& row : rows)
        appendRow(row.cells, row.tag);
    endRows();
}

void ReportList::clearRows() {
    m_model->clearRows();
}

bool ReportList::isRowSelected(int row) const {
    return selectionModel()->isRowSelected(row, QModelIndex());
}

void ReportList::setRowSelected(int row, bool selected) {
    const QModelIndex index = m_model->index(row, 0);
    selectionModel()->select(index, (selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                                        QItemSelectionModel::Rows);
}

QList<int> ReportList::selectedRows() const {
    QList<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

int ReportList::chosenRow() const {
    return ::chosenRow(this);
}

int ReportList::currentRow() const {
    const QModelIndex index = currentIndex();
    return index.isValid() ? index.row() : -1;
}

void ReportList::setCurrentRow(int row) {
    selectionModel()->setCurrentIndex(m_model->index(row, 0), QItemSelectionModel::NoUpdate);
}

void ReportList::keyPressEvent(QKeyEvent* event) {
    if (!event->isAutoRepeat())
        m_pressedKeys.insert(event->key());
    QTableView::keyPressEvent(event);
}

void ReportList::keyReleaseEvent(QKeyEvent* event) {
    QTableView::keyReleaseEvent(event);
    // A key pressed elsewhere, say Enter on a question just closed, is released here only by accident.
    if (!event->isAutoRepeat() && m_pressedKeys.remove(event->key()))
        emit keyReleased(event->key());
}

void ReportList::focusOutEvent(QFocusEvent* event) {
    m_pressedKeys.clear();
    QTableView::focusOutEvent(event);
}

void ReportList::showEvent(QShowEvent* event) {
    QTableView::showEvent(event);
    measureColumns();
}

void ReportList::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    fitColumns();
}

void ReportList::measureColumns() {
    if (!isVisible())
        return;
    const auto* delegate = static_cast<const ListCellDelegate*>(itemDelegate());
    const int rows = rowCount();
    const int first = std::max(0, rowAt(0));
    const int last =
        rows == 0 ? -1 : (rowAt(viewport()->height() - 1) < 0 ? rows - 1 : rowAt(viewport()->height() - 1));
    for (size_t c = 0; c < m_textWidths.size(); ++c) {
        const int col = static_cast<int>(c);
        int widest = 0;
        const auto measure = [&](int row) {
            const QString text = m_model->text(row, col);
            if (!text.isEmpty())
                widest = std::max(widest, delegate->cellWidth(this, text));
        };
        // The rows in sight, and for a column shown whole a bounded number more, so that its value reads whole
        // in the rows a scroll brings next.
        for (int row = first; row <= last; ++row)
            measure(row);
        if (m_whole[c]) {
            // First and last rows: a list sorted by the column has its longest numbers at one end.
            for (int row = 0; row < std::min(rows, kWholeRowsMeasured); ++row)
                measure(row);
            for (int row = std::max(kWholeRowsMeasured, rows - kWholeRowsMeasured); row < rows; ++row)
                measure(row);
        }
        m_textWidths[c] = widest;
    }
    fitColumns();
}

void ReportList::fitColumns() {
    const size_t n = m_baseWidths.size();
    if (m_userSized || n == 0 || static_cast<size_t>(columnCount()) != n)
        return;
    const int available = viewport()->width();
    // Each column prefers its base width, or for one shown whole its widest value; it can give up room down to
    // what its header and widest text need, and a column shown whole never gives up any of its value.
    std::vector<int> preferred(n), floor(n);
    for (size_t col = 0; col < n; ++col) {
        const int need = std::max(m_headerWidths[col], m_textWidths[col]);
        if (m_whole[col]) {
            const int whole = std::min(need, std::max(available, m_baseWidths[col]));
            preferred[col] = std::max(m_baseWidths[col], whole);
            floor[col] = whole;
        } else {
            preferred[col] = m_baseWidths[col];
            floor[col] = std::min(m_baseWidths[col], need);
        }
    }
    const qint64 total = std::accumulate(preferred.begin(), preferred.end(), qint64(0));
    std::vector<int> widths = preferred;
    if (total > available) {
        // Short of room, columns give up what they do not need, each in proportion to what it can spare.
        qint64 slack = 0;
        for (size_t col = 0; col < n; ++col)
            slack += preferred[col] - floor[col];
        const qint64 shortfall = std::min(slack, total - available);
        qint64 given = 0;
        for (size_t col = 0; col < n && slack > 0; ++col) {
            qint64 part = (preferred[col] - floor[col]) * shortfall / slack;
            widths[col] -= static_cast<int>(part);
            given += part;
        }
        // Rounding leaves a few pixels: taken from the last columns that can spare them.
        for (size_t col = n; col-- > 0 && given < shortfall;) {
            const qint64 part = std::min<qint64>(widths[col] - floor[col], shortfall - given);
            widths[col] -= static_cast<int>(part);
            given += part;
        }
    } else {
        // Each cut column gets its share of the spare width, in proportion to what it lacks, never more.
        const qint64 spare = available - total;
        qint64 needed = 0;
        for (size_t col = 0; col < n; ++col)
            needed += std::max(0, m_textWidths[col] - widths[col]);
        for (size_t col = 0; col < n && needed > 0; ++col) {
            const int need = std::max(0, m_textWidths[col] - widths[col]);
            widths[col] += static_cast<int>(need * std::min(spare, needed) / needed);
        }
    }
    m_fitting = true;
    for (size_t col = 0; col < n; ++col)
        setColumnWidth(static_cast<int>(col), widths[col]);
    m_fitting = false;
}

void ReportList::mouseReleaseEvent(QMouseEvent* event) {
    QTableView::mouseReleaseEvent(event);
    if (event->button() == Qt::RightButton) {
        const QModelIndex index = indexAt(event->position().toPoint());
        emit rightClicked(index.isValid() ? index.row() : -1, event->globalPosition().toPoint());
    }
}

void ReportList::setExportContext(AppContext* ctx) {
    m_exportCtx = ctx;
    m_exportAction->setVisible(ctx != nullptr);
}

void ReportList::addMenuAction(QAction* action) {
    m_menu->addAction(action);
}

void ReportList::contextMenuEvent(QContextMenuEvent* event) {
    const QList<QAction*> entries = m_menu->actions();
    const bool anyShown = std::any_of(entries.cbegin(), entries.cend(), [](QAction* a) { return a->isVisible(); });
    if (isSignalConnected(QMetaMethod::fromSignal(&ReportList::rightClicked)) || !anyShown) {
        event->ignore();
        return;
    }
    m_menu->popup(event->globalPos());
    event->accept();
}

void ReportList::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid())
        emit rowDoubleClicked(index.row());
}
