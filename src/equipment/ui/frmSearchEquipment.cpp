#include "equipment/ui/frmSearchEquipment.h"

#include "platform/Dialogs.h"
#include "platform/ErrorGuard.h"
#include "platform/FormHelpers.h"
#include "platform/ProductTitle.h"
#include "platform/ReportList.h"
#include "platform/Twips.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
constexpr int kWidthTwips = 14085;
constexpr int kHeightTwips = 9480;
} // namespace

frmSearchEquipment::frmSearchEquipment(AppContext& ctx, QWidget* parent)
    : QWidget(parent), m_ctx(ctx), m_text(makeTextBox(this, "txtSearchSerialNumber", QStringLiteral("Search text"))),
      m_serial(new QRadioButton(QStringLiteral("Serial Number"), this)),
      m_assetTag(new QRadioButton(QStringLiteral("Asset Tag Number"), this)),
      m_results(ctx, this, SearchStore::resultColumns()) {
    setObjectName(QStringLiteral("frmSearchEquipment"));
    setWindowTitle(captionFor(QStringLiteral("Search Equipment")));
    m_serial->setObjectName(QStringLiteral("Option1_0"));
    m_assetTag->setObjectName(QStringLiteral("Option1_1"));
    m_serial->setChecked(true);
    auto* searchButton = makeButton(this, "Command1", QStringLiteral("Search"));

    auto* parameters = new QGroupBox(QStringLiteral("Search Parameters"), this);
    auto* options = new QVBoxLayout;
    options->addWidget(m_serial);
    options->addWidget(m_assetTag);
    auto* row = new QHBoxLayout(parameters);
    row->addLayout(options);
    row->addWidget(m_text, 1);
    row->addWidget(searchButton);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(parameters);
    layout->addWidget(m_results.frame(), 1);

    connect(searchButton, &QPushButton::clicked, this, &frmSearchEquipment::search);
    connect(m_text, &QLineEdit::returnPressed, this, &frmSearchEquipment::search);
    // The results were made before the button; Tab reads the box, the options, Search, then the results.
    setReadingOrder({m_text, m_serial, m_assetTag, searchButton, m_results.list()});
    Twips::setFixedSize(this, kWidthTwips, kHeightTwips);
}

void frmSearchEquipment::search() {
    const SearchStore::Field field =
        m_assetTag->isChecked() ? SearchStore::Field::AssetTagNumber : SearchStore::Field::SerialNumber;
    int found = 0;
    if (!guarded(*m_ctx.dialogs, this, [&] { found = m_results.search(field, m_text->text()); }))
        return;
    // "Eqipment": the system's given spelling, kept on purpose.
    if (found == 0)
        m_ctx.dialogs->message(this, QStringLiteral("Eqipment not found"), Dialogs::Buttons::Ok,
                               Dialogs::Icon::Information);
}
