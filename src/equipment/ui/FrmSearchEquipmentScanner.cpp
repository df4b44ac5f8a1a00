#include "equipment/ui/FrmSearchEquipmentScanner.h"

#include "platform/Dialogs.h"
#include "platform/ErrorGuard.h"
#include "platform/FormHelpers.h"
#include "platform/ProductTitle.h"
#include "platform/ReportList.h"
#include "platform/Twips.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kWidthTwips = 14085;
constexpr int kHeightTwips = 9705;
} // namespace

FrmSearchEquipmentScanner::FrmSearchEquipmentScanner(AppContext& ctx, QWidget* parent)
    : QWidget(parent), m_ctx(ctx),
      m_text(makeTextBox(this, "txtSearchSerialNumber", QStringLiteral("Serial Number to Search"))),
      m_results(ctx, this, SearchStore::scannerColumns()) {
    setObjectName(QStringLiteral("FrmSearchEquipmentScanner"));
    setWindowTitle(captionFor(QStringLiteral("Search Equipment Using the Scanner")));
    auto* searchButton = makeButton(this, "Command1", QStringLiteral("Search"));
    auto* scanButton = makeButton(this, "Command2", QStringLiteral("New Search (Scanner)"));

    auto* parameters = new QGroupBox(QStringLiteral("Search Parameters"), this);
    auto* row = new QHBoxLayout(parameters);
    row->addWidget(makeBuddyLabel(parameters, m_text->accessibleName(), m_text));
    row->addWidget(m_text, 1);
    row->addWidget(searchButton);
    row->addWidget(scanButton);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(parameters);
    layout->addWidget(m_results.frame(), 1);

    connect(searchButton, &QPushButton::clicked, this, &FrmSearchEquipmentScanner::search);
    connect(scanButton, &QPushButton::clicked, this, &FrmSearchEquipmentScanner::askForScan);
    connect(m_text, &QLineEdit::returnPressed, this, &FrmSearchEquipmentScanner::search);
    setReadingOrder({m_text, searchButton, scanButton, m_results.list()});
    Twips::setFixedSize(this, kWidthTwips, kHeightTwips);
}

void FrmSearchEquipmentScanner::load() {
    askForScan();
}

void FrmSearchEquipmentScanner::askForScan() {
    // A cancelled box answers empty text, which is searched like any other.
    m_text->setText(
        m_ctx.dialogs->input(this, QStringLiteral("Scan serial number to search"), kProductTitle, QString()));
    search();
}

void FrmSearchEquipmentScanner::search() {
    guarded(*m_ctx.dialogs, this, [&] { m_results.search(SearchStore::Field::SerialNumber, m_text->text()); });
}
