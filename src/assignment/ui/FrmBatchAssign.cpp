#include "assignment/ui/FrmBatchAssign.h"

#include "assignment/store/AssignmentStore.h"
#include "locations/store/LocationStore.h"
#include "platform/CutTextTips.h"
#include "platform/Dialogs.h"
#include "platform/ErrorGuard.h"
#include "platform/FormHelpers.h"
#include "platform/ListChoice.h"
#include "platform/ProductTitle.h"
#include "platform/Twips.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>
#include <optional>

namespace {
constexpr int kWidthTwips = 5175;
constexpr int kHeightTwips = 3765;

// A number as the user types it, in the locale's form or the plain one; none for empty or other text.
std::optional<double> numberIn(const QString& text) {
    const QString trimmed = text.trimmed();
    bool ok = false;
    double value = QLocale().toDouble(trimmed, &ok);
    if (!ok)
        value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}
} // namespace

FrmBatchAssign::FrmBatchAssign(AppContext& ctx, QWidget* parent)
    : QWidget(parent), m_ctx(ctx),
      m_start(makeTextBox(this, "txtstart", QStringLiteral("Starting Equipment ID Range"))),
      m_end(makeTextBox(this, "txtend", QStringLiteral("Ending Equipment ID Range"))),
      m_locations(new QListWidget(this)) {
    setObjectName(QStringLiteral("FrmBatchAssign"));
    setWindowTitle(captionFor(QStringLiteral("Batch Assign")));
    m_locations->setObjectName(QStringLiteral("List2"));
    m_locations->setAccessibleName(QStringLiteral("Location to Transfer To"));
    showCutTextInToolTips(m_locations);

    auto* frame = new QGroupBox(QStringLiteral("Assignment Information"), this);
    auto* fields = new QFormLayout(frame);
    for (QWidget* box :
         {static_cast<QWidget*>(m_start), static_cast<QWidget*>(m_end), static_cast<QWidget*>(m_locations)})
        fields->addRow(makeBuddyLabel(frame, box->accessibleName(), box), box);

    auto* submitButton = makeButton(this, "CmdSubmit", QStringLiteral("Submit"));
    auto* cancelButton = makeButton(this, "cmdCancel", QStringLiteral("Cancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(submitButton);
    buttons->addWidget(cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(frame);
    layout->addLayout(buttons);

    connect(submitButton, &QPushButton::clicked, this, &FrmBatchAssign::submit);
    connect(cancelButton, &QPushButton::clicked, this, &QWidget::close);
    Twips::setFixedSize(this, kWidthTwips, kHeightTwips);
}

void FrmBatchAssign::load() {
    fillLocations();
    if (m_locations->count() > 0)
        m_locations->setCurrentRow(0);
}

void FrmBatchAssign::fillLocations() {
    m_locations->clear();
    for (const LocationIdName& location : LocationStore(*m_ctx.db).activeLocationNames()) {
        auto* item = new QListWidgetItem(location.name.toString(), m_locations);
        item->setData(Qt::UserRole, location.id);
    }
}

void FrmBatchAssign::submit() {
    const std::optional<double> start = numberIn(m_start->text());
    if (!start) {
        m_ctx.dialogs->message(this, QStringLiteral("Invalid starting ID number"), Dialogs::Buttons::Ok,
                               Dialogs::Icon::Critical);
        return;
    }
    const std::optional<double> end = numberIn(m_end->text());
    if (!m_end->text().isEmpty() && !end) {
        m_ctx.dialogs->message(this, QStringLiteral("Invalid ending ID number"), Dialogs::Buttons::Ok,
                               Dialogs::Icon::Critical);
        return;
    }
    if (m_end->text().isEmpty())
        m_end->setText(m_start->text());
    if (m_locations->count() == 0) {
        m_ctx.dialogs->message(this,
                               QStringLiteral("There is no active location to transfer to\n"
                                              "A location must be created first"),
                               Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
        return;
    }
    const QListWidgetItem* target = chosenItem(m_locations);
    if (!target) {
        m_ctx.dialogs->message(this, QStringLiteral("No location selected"), Dialogs::Buttons::Ok,
                               Dialogs::Icon::Critical);
        return;
    }
    const qint64 locId = target->data(Qt::UserRole).toLongLong();
    qint64 moved = 0;
    bool gone = false;
    const bool done = guarded(*m_ctx.dialogs, this, [&] {
        try {
            moved = AssignmentStore(*m_ctx.db).assignRange(IdRange::fromBounds(*start, end), locId);
        } catch (const LocationUnavailable&) {
            gone = true;
            throw;
        }
    });
    if (gone) // the list shows what can still be chosen, with nothing chosen for the user
        guarded(*m_ctx.dialogs, this, [&] { fillLocations(); });
    if (!done)
        return;
    m_ctx.dialogs->message(this, QStringLiteral("Operation complete\n%1 item(s) transferred").arg(moved),
                           Dialogs::Buttons::Ok, Dialogs::Icon::Information);
    clearTextBoxes(this);
}
