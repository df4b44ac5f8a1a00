#include "stocktake/ui/StocktakeWindow.h"

#include "data/Database.h"
#include "data/QuotedValue.h"
#include "equipment/store/EquipmentTypeStore.h"
#include "locations/store/LocationStore.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/ErrorGuard.h"
#include "platform/FormHelpers.h"
#include "platform/ListExport.h"
#include "platform/ProductTitle.h"
#include "platform/ReportList.h"
#include "platform/Twips.h"
#include "printing/LVPrint.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

namespace {
struct Look {
    const char* name;
    const char* background;
    const char* foreground;
};

// Colours a person tells apart from the corner of an eye, and that stay apart for the colour-blind (blue and
// orange rather than green and red alone); each also has its own word.
Look lookOf(ScanClass kind) {
    switch (kind) {
    case ScanClass::Here:
        return {"Here", "#1b7f3b", "#ffffff"};
    case ScanClass::Elsewhere:
        return {"Elsewhere", "#f0a000", "#000000"};
    case ScanClass::Unknown:
        return {"Unknown", "#c0172b", "#ffffff"};
    case ScanClass::Repeat:
        break;
    }
    return {"Already scanned", "#2d5fa8", "#ffffff"};
}

QString registeredAtText(const ScanResult& scan) {
    return scan.registeredAtName.isEmpty() ? QStringLiteral("(no location)") : scan.registeredAtName;
}

QString unitText(const ScanResult& scan) {
    QStringList parts;
    if (!scan.equipmentType.isEmpty())
        parts << scan.equipmentType;
    if (!scan.serialNumber.isEmpty())
        parts << QStringLiteral("serial number %1").arg(scan.serialNumber);
    if (!scan.assetTagNumber.isEmpty())
        parts << QStringLiteral("asset tag %1").arg(scan.assetTagNumber);
    if (scan.inactive)
        parts << QStringLiteral("marked inactive");
    return parts.join(QStringLiteral(", "));
}

QLabel* countChip(QWidget* parent, ScanClass kind, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    const Look look = lookOf(kind);
    label->setStyleSheet(QStringLiteral("QLabel { background: %1; color: %2; padding: 4px 10px; font-weight: bold; }")
                             .arg(QLatin1String(look.background), QLatin1String(look.foreground)));
    return label;
}
} // namespace

StocktakeWindow::StocktakeWindow(AppContext& ctx, QWidget* parent)
    : QWidget(parent), m_ctx(ctx), m_location(new QComboBox(this)), m_status(new QLabel(this)),
      m_scan(makeTextBox(this, "txtScan", QStringLiteral("Scan"))), m_result(new QLabel(this)),
      m_detail(new QLabel(this)), m_scanned(new ReportList), m_missing(new ReportList) {
    setObjectName(QStringLiteral("StocktakeWindow"));
    setWindowTitle(captionFor(QStringLiteral("Stocktake")));
    setUpScanAndResult();
    // The steps run in reading order: the controls each one makes follow the last step's in the focus chain.
    QLayout* top = buildTop();
    QLayout* counts = buildCounts();
    QSplitter* lists = buildLists();
    QLayout* options = buildOptions();
    QLayout* buttons = buildButtons();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(top);
    layout->addWidget(m_result);
    layout->addWidget(m_detail);
    layout->addLayout(counts);
    layout->addWidget(lists, 1);
    layout->addLayout(options);
    layout->addLayout(buttons);

    resize(Twips::toPixelsX(13500, this), Twips::toPixelsY(8200, this));
    lists->setSizes({width() / 2, width() / 2});
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
}

void StocktakeWindow::setUpScanAndResult() {
    m_location->setObjectName(QStringLiteral("cboLocation"));
    m_location->setAccessibleName(QStringLiteral("Location"));
    m_status->setObjectName(QStringLiteral("lblStatus"));
    m_status->setWordWrap(true);
    m_result->setObjectName(QStringLiteral("lblResult"));
    m_result->setAlignment(Qt::AlignCenter);
    m_result->setMinimumHeight(Twips::toPixelsY(700, this));
    m_result->setAutoFillBackground(true);
    QFont headline = m_result->font();
    headline.setPointSizeF(22);
    headline.setBold(true);
    m_result->setFont(headline);
    m_detail->setObjectName(QStringLiteral("lblDetail"));
    // Codes are whatever a scanner read; never taken for markup.
    for (QLabel* label : {m_status, m_result, m_detail})
        label->setTextFormat(Qt::PlainText);
    m_detail->setWordWrap(true);
    m_scan->setToolTip(QStringLiteral("Scan a serial number or asset tag, or type one and press Enter"));
    QFont big = m_scan->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    m_scan->setFont(big);
    connect(m_scan, &QLineEdit::returnPressed, this, &StocktakeWindow::submitScan);
}

QLayout* StocktakeWindow::buildTop() {
    auto* top = new QGridLayout;
    top->addWidget(makeBuddyLabel(this, QStringLiteral("Loca&tion:"), m_location), 0, 0);
    top->addWidget(m_location, 0, 1);
    top->addWidget(m_status, 0, 2);
    top->addWidget(makeBuddyLabel(this, QStringLiteral("S&can:"), m_scan), 1, 0);
    top->addWidget(m_scan, 1, 1, 1, 2);
    top->setColumnStretch(1, 2);
    top->setColumnStretch(2, 3);
    connect(m_location, &QComboBox::currentIndexChanged, this, [this] {
        m_justEnded = false;
        guarded(*m_ctx.dialogs, this, [this] { showLocation(); });
        m_scan->setFocus();
    });
    return top;
}

QLayout* StocktakeWindow::buildCounts() {
    auto* counts = new QHBoxLayout;
    m_countLabels[HereSlot] = countChip(this, ScanClass::Here, "lblHereCount");
    m_countLabels[ElsewhereSlot] = countChip(this, ScanClass::Elsewhere, "lblElsewhereCount");
    m_countLabels[UnknownSlot] = countChip(this, ScanClass::Unknown, "lblUnknownCount");
    m_countLabels[RepeatSlot] = countChip(this, ScanClass::Repeat, "lblRepeatCount");
    m_countLabels[MissingSlot] = new QLabel(this);
    m_countLabels[MissingSlot]->setObjectName(QStringLiteral("lblMissingCount"));
    m_countLabels[MissingSlot]->setStyleSheet(
        QStringLiteral("QLabel { border: 1px solid palette(mid); padding: 4px 10px; font-weight: bold; }"));
    for (QLabel* label : m_countLabels)
        counts->addWidget(label);
    counts->addStretch();
    return counts;
}

QSplitter* StocktakeWindow::buildLists() {
    auto* scannedFrame = new QGroupBox(QStringLiteral("Scanned"), this);
    m_scanned->setParent(scannedFrame);
    m_scanned->setObjectName(QStringLiteral("lvwScanned"));
    m_scanned->setAccessibleName(QStringLiteral("Scanned"));
    // Wide enough that a code and its result read whole without a drag.
    const QHash<QString, int> twips = {
        {QStringLiteral("Code"), 1800},           {QStringLiteral("Result"), 1800},
        {QStringLiteral("EquipmentType"), 1300},  {QStringLiteral("SerialNumber"), 1500},
        {QStringLiteral("AssetTagNumber"), 1500}, {QStringLiteral("RegisteredAt"), 1800}};
    for (const ListColumn& column : StocktakeStore::scannedListColumns()) {
        m_scanned->addColumn(column.header, column.key, Twips::toPixelsX(twips.value(column.key), this));
        m_scanned->setColumnWhole(m_scanned->columnCount() - 1, column.whole);
    }
    (new QVBoxLayout(scannedFrame))->addWidget(m_scanned);
    auto* missingFrame = new QGroupBox(QStringLiteral("Missing: registered here, not scanned yet"), this);
    m_missing->setParent(missingFrame);
    m_missing->setObjectName(QStringLiteral("lvwMissing"));
    m_missing->setAccessibleName(QStringLiteral("Missing"));
    m_missing->setColumns(StocktakeStore::missingListColumns());
    (new QVBoxLayout(missingFrame))->addWidget(m_missing);
    connect(m_missing, &ReportList::headerClicked, this, &StocktakeWindow::sortMissing);
    auto* lists = new QSplitter(this);
    lists->addWidget(scannedFrame);
    lists->addWidget(missingFrame);
    return lists;
}

QLayout* StocktakeWindow::buildOptions() {
    m_moveElsewhere = new QCheckBox(QStringLiteral("&Move the units registered elsewhere to this location"), this);
    m_moveElsewhere->setObjectName(QStringLiteral("chkMoveElsewhere"));
    m_moveElsewhere->setChecked(true);
    m_holdUnknown = new QCheckBox(QStringLiteral("Put the &unknown codes into the holding table"), this);
    m_holdUnknown->setObjectName(QStringLiteral("chkHoldUnknown"));
    m_holdUnknown->setChecked(true);
    m_unknownType = new QComboBox(this);
    m_unknownType->setObjectName(QStringLiteral("cboUnknownType"));
    m_unknownType->setAccessibleName(QStringLiteral("Type of the unknown codes"));
    m_unknownType->setPlaceholderText(QStringLiteral("(choose a type)"));
    connect(m_holdUnknown, &QCheckBox::toggled, m_unknownType, &QWidget::setEnabled);
    auto* holdRow = new QHBoxLayout;
    holdRow->addWidget(m_holdUnknown);
    holdRow->addWidget(makeBuddyLabel(this, QStringLiteral("as t&ype:"), m_unknownType));
    holdRow->addWidget(m_unknownType);
    holdRow->addStretch();
    // The options keep a row of their own so that neither they nor the buttons are cut off in a narrow window.
    auto* options = new QVBoxLayout;
    options->addWidget(m_moveElsewhere);
    options->addLayout(holdRow);
    return options;
}

QLayout* StocktakeWindow::buildButtons() {
    auto* printButton = makeButton(this, "cmdPrintMissing", QStringLiteral("&Print Missing List"));
    auto* exportButton = makeButton(this, "cmdExportMissing", QStringLiteral("E&xport Missing List..."));
    m_finish = makeButton(this, "cmdFinish", QStringLiteral("F&inish"));
    m_discard = makeButton(this, "cmdDiscard", QStringLiteral("&Discard"));
    auto* closeButton = makeButton(this, "cmdClose", QStringLiteral("Close"));
    // Mnemonics stay clear of the main menu's (File, Location(s), Equipment, Assignment, Search, Windows, Help),
    // which would otherwise take the keys. Enter belongs to the scan box while it holds a code: a scanner ends every
    // code with it.
    connect(printButton, &QPushButton::clicked, this, &StocktakeWindow::printMissing);
    connect(exportButton, &QPushButton::clicked, this, &StocktakeWindow::exportMissing);
    connect(m_finish, &QPushButton::clicked, this, &StocktakeWindow::finish);
    connect(m_discard, &QPushButton::clicked, this, &StocktakeWindow::discard);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {printButton, exportButton, m_finish, m_discard, closeButton})
        buttons->addWidget(button);
    return buttons;
}

bool StocktakeWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched != m_scan && m_scan->isEnabled()) {
        // A popup (the open list of a box) is a window of its own and keeps its keys.
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && isAncestorOf(widget) && takeScannerKey(static_cast<QKeyEvent*>(event)))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

// A scanner types its code and Enter into whatever has the focus. Here they go to the scan box wherever the focus
// is, so no list's type-ahead or box's choice swallows a code.
bool StocktakeWindow::takeScannerKey(const QKeyEvent* key) {
    if (key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier))
        return false; // shortcuts and mnemonics
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        if (m_scan->text().isEmpty())
            return false;
        m_scan->setFocus();
        submitScan();
        return true;
    }
    const QString text = key->text();
    if (text.isEmpty() || !text.at(0).isPrint())
        return false;
    // A space on its own still ticks a box or presses a button; within a code it is part of it.
    if (text == QLatin1String(" ") && m_scan->text().isEmpty())
        return false;
    m_scan->setFocus();
    m_scan->end(false);
    m_scan->insert(text);
    return true;
}

void StocktakeWindow::load() {
    StocktakeStore store(*m_ctx.db);
    const qint64 wanted = LocId > 0 ? LocId : store.latestOpenLocation().value_or(0);
    const QSignalBlocker quiet(m_location);
    for (const LocationIdName& location : LocationStore(*m_ctx.db).activeLocationNames())
        m_location->addItem(location.name.toString(), location.id);
    m_unknownType->addItems(EquipmentTypeStore(*m_ctx.db).names());
    m_unknownType->setCurrentIndex(-1);
    const int at = m_location->findData(wanted);
    if (at >= 0)
        m_location->setCurrentIndex(at);
    if (m_location->count() == 0) {
        m_scan->setEnabled(false);
        m_status->setText(QStringLiteral("There is no active location to count. A location must be created first."));
    }
    showLocation();
    m_scan->setFocus();
}

qint64 StocktakeWindow::locationId() const {
    return m_location->currentIndex() < 0 ? 0 : m_location->currentData().toLongLong();
}

QString StocktakeWindow::locationName() const {
    return quotedValue(m_location->currentText());
}

void StocktakeWindow::showLocation() {
    StocktakeStore store(*m_ctx.db);
    const qint64 locId = locationId();
    const std::optional<OpenStocktake> open = locId > 0 ? store.openAt(locId) : std::nullopt;
    setWindowTitle(
        captionFor(locId > 0 ? QStringLiteral("Stocktake: %1").arg(locationName()) : QStringLiteral("Stocktake")));
    m_stocktakeId = open ? open->id : 0;
    m_started = open ? open->started : QString();
    m_counts = m_stocktakeId > 0 ? store.counts(m_stocktakeId) : StocktakeCounts{};
    m_scanned->clearRows();
    if (m_stocktakeId > 0) {
        m_scanned->beginRows();
        for (const ScanResult& scan : store.scans(m_stocktakeId))
            addScanRow(scan, true);
        m_scanned->endRows();
        m_scanned->scrollToBottom();
    }
    if (locId > 0)
        m_missing->setRows(store.missing(locId, m_stocktakeId, m_order), StocktakeStore::missingListColumns());
    else
        m_missing->clearRows();
    m_result->setText(QStringLiteral("Scan a serial number or asset tag"));
    paintResult(palette().color(QPalette::Window), palette().color(QPalette::PlaceholderText));
    m_detail->clear();
    showCounts();
    showStatus();
}

void StocktakeWindow::sortMissing(int column) {
    const QString key = m_missing->columnTag(column);
    m_order = m_sort.next(key);
    if (m_missing->sortRows(column, m_order.descending))
        return;
    guarded(*m_ctx.dialogs, this, [&] {
        m_missing->setRows(StocktakeStore(*m_ctx.db).missing(locationId(), m_stocktakeId, m_order),
                           StocktakeStore::missingListColumns());
    });
}

// The cells follow StocktakeStore::scannedListColumns().
void StocktakeWindow::addScanRow(const ScanResult& scan, bool bulk) {
    const QStringList cells = {scan.code,           QLatin1String(lookOf(scan.kind).name),
                               scan.equipmentType,  scan.serialNumber,
                               scan.assetTagNumber, scan.equipmentId > 0 ? registeredAtText(scan) : QString()};
    if (bulk)
        m_scanned->appendRow(cells, scan.equipmentId);
    else
        m_scanned->addRow(cells, scan.equipmentId);
}

void StocktakeWindow::submitScan() {
    const QString typed = m_scan->text();
    m_scan->clear();
    const qint64 locId = locationId();
    if (locId <= 0 || StocktakeStore::cleanCode(typed).isEmpty())
        return;
    ScanResult scan;
    const bool done = guarded(*m_ctx.dialogs, this, [&] {
        scan = StocktakeStore(*m_ctx.db).scan(locId, typed, m_ctx.clock->now(), m_stocktakeId);
        if (scan.shownEnded)
            return;
        if (scan.stocktakeId != m_stocktakeId) {
            // A new stocktake, or one that another workstation ended and this scan began again: read it whole.
            m_justEnded = false;
            showLocation();
            return;
        }
        addScanRow(scan, false);
        m_scanned->scrollToBottom();
        ++m_counts.of(scan.kind);
        if (scan.kind == ScanClass::Here) {
            const int row = m_missing->rowOfTag(scan.equipmentId);
            if (row >= 0)
                m_missing->removeRow(row);
        }
        showCounts();
        showStatus();
    });
    if (done && scan.shownEnded)
        tellEndedElsewhere(scan.code);
    else if (done)
        showResult(scan);
}

void StocktakeWindow::tellEndedElsewhere(const QString& code) {
    // The scans shown stay, as after a finish here, to be read, printed or exported.
    m_stocktakeId = 0;
    m_justEnded = true;
    showStatus();
    m_result->setText(QStringLiteral("NOT RECORDED"));
    paintResult(palette().color(QPalette::Window), palette().color(QPalette::WindowText));
    m_detail->setText(QStringLiteral("%1: the stocktake had ended.").arg(code));
    m_ctx.dialogs->message(this,
                           QStringLiteral("The stocktake of %1 was finished or discarded meanwhile, in another window "
                                          "or on another workstation.\n%2 was not recorded. Scan it again to begin a "
                                          "new stocktake; the scans shown here stay until then.")
                               .arg(locationName(), code),
                           Dialogs::Buttons::Ok, Dialogs::Icon::Information);
}

void StocktakeWindow::showResult(const ScanResult& scan) {
    const Look look = lookOf(scan.kind);
    QString headline = QString::fromLatin1(look.name).toUpper();
    QString detail = unitText(scan);
    switch (scan.kind) {
    case ScanClass::Here:
        break;
    case ScanClass::Elsewhere:
        headline += QStringLiteral(": registered at %1").arg(registeredAtText(scan));
        break;
    case ScanClass::Unknown:
        detail = scan.waitingInHolding
                     ? QStringLiteral("%1 is not in the inventory; it is waiting in the holding table.").arg(scan.code)
                     : QStringLiteral("%1 is in no inventory table.").arg(scan.code);
        break;
    case ScanClass::Repeat:
        if (detail.isEmpty())
            detail = QStringLiteral("%1 was scanned before.").arg(scan.code);
        break;
    }
    m_result->setText(headline);
    paintResult(QColor(QLatin1String(look.background)), QColor(QLatin1String(look.foreground)));
    m_detail->setText(detail.isEmpty() ? scan.code : QStringLiteral("%1: %2").arg(scan.code, detail));
    // A scanner beeps on every read; a second sound says "look".
    if (scan.kind != ScanClass::Here)
        QApplication::beep();
}

// A palette, not a style sheet: changing a style sheet polishes the label anew, which a scan cannot afford.
void StocktakeWindow::paintResult(const QColor& background, const QColor& text) {
    QPalette colours = m_result->palette();
    colours.setColor(QPalette::Window, background);
    colours.setColor(QPalette::WindowText, text);
    m_result->setPalette(colours);
}

void StocktakeWindow::showCounts() {
    m_countLabels[HereSlot]->setText(QStringLiteral("Here: %1").arg(m_counts.here));
    m_countLabels[ElsewhereSlot]->setText(QStringLiteral("Elsewhere: %1").arg(m_counts.elsewhere));
    m_countLabels[UnknownSlot]->setText(QStringLiteral("Unknown: %1").arg(m_counts.unknown));
    m_countLabels[RepeatSlot]->setText(QStringLiteral("Already scanned: %1").arg(m_counts.repeats));
    m_countLabels[MissingSlot]->setText(QStringLiteral("Missing: %1").arg(m_missing->rowCount()));
}

void StocktakeWindow::showStatus() {
    const bool open = m_stocktakeId > 0;
    m_finish->setEnabled(open);
    m_discard->setEnabled(open);
    if (m_location->count() == 0)
        return;
    if (open)
        m_status->setText(
            QStringLiteral("Stocktake begun %1; carries on until it is finished or discarded.").arg(m_started));
    else if (m_justEnded)
        m_status->setText(QStringLiteral("Stocktake ended. The next scan begins a new one."));
    else
        m_status->setText(QStringLiteral("No stocktake under way here: the first scan begins one."));
}

void StocktakeWindow::finish() {
    if (m_stocktakeId <= 0)
        return;
    const bool move = m_moveElsewhere->isChecked();
    const bool hold = m_holdUnknown->isChecked() && m_counts.unknown > 0;
    if (hold && m_unknownType->currentIndex() < 0) {
        m_ctx.dialogs->message(this,
                               QStringLiteral("Choose the equipment type the unknown codes get in the holding table, "
                                              "or clear \"Put the unknown codes into the holding table\" to leave "
                                              "them out."),
                               Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
        m_unknownType->setFocus();
        return;
    }
    const std::optional<QString> holdAs = hold ? std::optional(m_unknownType->currentText()) : std::nullopt;
    QStringList plan;
    if (move && m_counts.elsewhere > 0)
        plan << QStringLiteral("%1 unit(s) registered elsewhere will be moved to %2.")
                    .arg(m_counts.elsewhere)
                    .arg(locationName());
    if (hold)
        plan << QStringLiteral("%1 unknown code(s) will be put into the holding table as %2.")
                    .arg(m_counts.unknown)
                    .arg(*holdAs);
    plan << QStringLiteral("%1 unit(s) registered here were not scanned.").arg(m_missing->rowCount());
    if (m_ctx.dialogs->message(
            this, QStringLiteral("Finish the stocktake of %1?\n\n%2").arg(locationName(), plan.join(u'\n')),
            Dialogs::Buttons::YesNo, Dialogs::Icon::Question) != Dialogs::Answer::Yes)
        return;
    StocktakeOutcome outcome;
    if (!guarded(*m_ctx.dialogs, this,
                 [&] { outcome = StocktakeStore(*m_ctx.db).finish(m_stocktakeId, move, holdAs, m_ctx.clock->now()); }))
        return;
    m_stocktakeId = 0;
    m_justEnded = true;
    showStatus();
    QString text =
        QStringLiteral("Stocktake finished.\n%1 unit(s) moved to %2.\n%3 code(s) put into the holding table.")
            .arg(outcome.moved)
            .arg(locationName())
            .arg(outcome.held);
    if (outcome.skipped > 0)
        text += QStringLiteral("\n%1 code(s) left out: they are in the inventory or the holding table by now.")
                    .arg(outcome.skipped);
    if (m_missing->rowCount() > 0)
        text += QStringLiteral("\nThe missing list stays in this window to print or export.");
    m_ctx.dialogs->message(this, text, Dialogs::Buttons::Ok, Dialogs::Icon::Information);
}

void StocktakeWindow::discard() {
    if (m_stocktakeId <= 0)
        return;
    if (m_ctx.dialogs->message(this,
                               QStringLiteral("Discard the stocktake of %1? Its %2 scan(s) are set aside and nothing "
                                              "is moved.")
                                   .arg(locationName())
                                   .arg(m_counts.scans()),
                               Dialogs::Buttons::YesNoDefaultNo, Dialogs::Icon::Question) != Dialogs::Answer::Yes)
        return;
    if (!guarded(*m_ctx.dialogs, this, [&] { StocktakeStore(*m_ctx.db).discard(m_stocktakeId, m_ctx.clock->now()); }))
        return;
    m_justEnded = false;
    guarded(*m_ctx.dialogs, this, [this] { showLocation(); });
}

void StocktakeWindow::printMissing() {
    if (m_missing->rowCount() == 0) {
        m_ctx.dialogs->message(this, QStringLiteral("No unit is missing: there is nothing to print."));
        return;
    }
    printListOrSayWhy(m_ctx, this, m_missing, QStringLiteral("Missing at %1").arg(locationName()));
}

void StocktakeWindow::exportMissing() {
    exportList(*m_missing, m_ctx, this);
}
