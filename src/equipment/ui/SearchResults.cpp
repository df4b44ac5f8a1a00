#include "equipment/ui/SearchResults.h"

#include "equipment/ui/frmEditEquipment.h"
#include "platform/LabelEntry.h"
#include "platform/ReportList.h"

#include <QGroupBox>
#include <QVBoxLayout>

namespace {
constexpr int kSerialColumn = 5;
} // namespace

SearchResults::SearchResults(AppContext& ctx, QWidget* window, const ListColumns& columns)
    : m_ctx(ctx), m_window(window), m_columns(columns),
      m_frame(new QGroupBox(QStringLiteral("Search Results"), window)), m_list(new ReportList(m_frame)) {
    m_list->setObjectName(QStringLiteral("lstEquipmentList"));
    m_list->setAccessibleName(QStringLiteral("Equipment found"));
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto* layout = new QVBoxLayout(m_frame);
    layout->addWidget(m_list);
    offerUnitLabels(m_list, m_ctx);
    opensRowWindows(
        m_list, [this](int row, OnTooManyWindows how) { return openDetail(row, how); }, OnTooManyWindows::Report,
        OnTooManyWindows::Report);
}

int SearchResults::search(SearchStore::Field field, const QString& text) {
    m_list->setColumns(m_columns);
    m_list->setRows(SearchStore(*m_ctx.db).found(field, text, m_columns), m_columns);
    return m_list->rowCount();
}

bool SearchResults::openDetail(int row, OnTooManyWindows onTooMany) {
    const QString id = m_list->text(row, 0);
    const QString serial = m_list->text(row, kSerialColumn);
    return openWindow<frmEditEquipment>(
               m_ctx, m_window,
               [&](frmEditEquipment& w) {
                   w.Idnum = id;
                   w.ssn = serial;
               },
               onTooMany) != nullptr;
}
