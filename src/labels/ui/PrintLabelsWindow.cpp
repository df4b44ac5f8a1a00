#include "labels/ui/PrintLabelsWindow.h"

#include "data/Database.h"
#include "labels/store/LabelStore.h"
#include "platform/Dialogs.h"
#include "platform/ErrorGuard.h"
#include "platform/FormHelpers.h"
#include "platform/PrintoutFile.h"
#include "platform/ProductTitle.h"
#include "platform/Twips.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
QDoubleSpinBox* millimetres(QWidget* parent, const char* name, const QString& caption, double value, double most) {
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setAccessibleName(caption);
    box->setRange(15, most);
    box->setDecimals(1);
    box->setSuffix(QStringLiteral(" mm"));
    box->setValue(value);
    return box;
}

QString unitsWithoutLabel(int skipped) {
    return skipped == 1 ? QStringLiteral("1 unit has neither an asset tag nor a serial number and gets no label.")
                        : QStringLiteral("%1 units have neither an asset tag nor a serial number and get no label.")
                              .arg(skipped);
}
} // namespace

PrintLabelsWindow::PrintLabelsWindow(AppContext& ctx, QWidget* parent)
    : QWidget(parent), m_ctx(ctx), m_previewPrinter(std::make_unique<QPrinter>(QPrinter::HighResolution)),
      m_layout(new QComboBox(this)),
      m_width(millimetres(this, "txtWidth", QStringLiteral("Label Width"), kDefaultWidth, 200)),
      m_height(millimetres(this, "txtHeight", QStringLiteral("Label Height"), kDefaultHeight, 200)),
      m_start(new QSpinBox(this)), m_count(new QLabel(this)), m_notes(new QLabel(this)), m_warning(new QLabel(this)),
      m_preview(new QPrintPreviewWidget(m_previewPrinter.get(), this)) {
    setObjectName(QStringLiteral("PrintLabelsWindow"));
    setWindowTitle(captionFor(QStringLiteral("Print Labels")));
    setUpControls();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(buildSettings());
    layout->addWidget(m_preview, 1);
    followSettings();
    Twips::setFixedSize(this, 13500, 9000);
}

void PrintLabelsWindow::setUpControls() {
    m_layout->setObjectName(QStringLiteral("cboLayout"));
    m_layout->setAccessibleName(QStringLiteral("Layout"));
    m_layout->addItem(LabelLayout::single({kDefaultWidth, kDefaultHeight}).name);
    for (const LabelLayout& layout : LabelLayout::sheets())
        m_layout->addItem(layout.name);
    m_start->setObjectName(QStringLiteral("txtStart"));
    m_start->setAccessibleName(QStringLiteral("Start at Label"));
    m_count->setObjectName(QStringLiteral("lblCount"));
    m_notes->setObjectName(QStringLiteral("lblNotes"));
    m_notes->setWordWrap(true);
    m_notes->setTextFormat(Qt::PlainText);
    m_warning->setObjectName(QStringLiteral("lblWarning"));
    m_warning->setWordWrap(true);
    m_warning->setTextFormat(Qt::PlainText);
    m_preview->setObjectName(QStringLiteral("preview"));
    m_preview->setAccessibleName(QStringLiteral("Preview"));
    m_preview->setZoomMode(QPrintPreviewWidget::FitInView);
}

QLayout* PrintLabelsWindow::buildSettings() {
    auto* form = new QFormLayout;
    form->addRow(makeBuddyLabel(this, m_layout->accessibleName(), m_layout), m_layout);
    form->addRow(makeBuddyLabel(this, m_width->accessibleName(), m_width), m_width);
    form->addRow(makeBuddyLabel(this, m_height->accessibleName(), m_height), m_height);
    form->addRow(makeBuddyLabel(this, m_start->accessibleName(), m_start), m_start);
    auto* printButton = makeButton(this, "cmdPrint", QStringLiteral("Print"));
    auto* cancelButton = makeButton(this, "cmdCancel", QStringLiteral("Cancel"));
    connect(printButton, &QPushButton::clicked, this, &PrintLabelsWindow::printLabels);
    connect(cancelButton, &QPushButton::clicked, this, &QWidget::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(printButton);
    buttons->addWidget(cancelButton);
    auto* settings = new QVBoxLayout;
    settings->addLayout(form);
    settings->addWidget(m_count);
    settings->addWidget(m_notes);
    settings->addWidget(m_warning);
    settings->addStretch();
    settings->addLayout(buttons);
    return settings;
}

void PrintLabelsWindow::followSettings() {
    connect(m_layout, &QComboBox::currentIndexChanged, this, &PrintLabelsWindow::settingsChanged);
    connect(m_width, &QDoubleSpinBox::valueChanged, this, &PrintLabelsWindow::settingsChanged);
    connect(m_height, &QDoubleSpinBox::valueChanged, this, &PrintLabelsWindow::settingsChanged);
    connect(m_start, &QSpinBox::valueChanged, this, &PrintLabelsWindow::settingsChanged);
    connect(m_preview, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter* printer) {
        guarded(*m_ctx.dialogs, this, [&] {
            const LabelSheet labels = sheet();
            labels.preparePrinter(*printer);
            labels.print(*printer);
        });
    });
}

PrintLabelsWindow::~PrintLabelsWindow() = default;

bool PrintLabelsWindow::load() {
    const UnitLabels units = LabelStore(*m_ctx.db).labelsFor(unitIds);
    QStringList notes;
    m_labels = LabelSheet::prepare(units.labels, notes);
    if (units.skipped > 0)
        notes.prepend(unitsWithoutLabel(units.skipped));
    if (m_labels.empty()) {
        notes << QStringLiteral("There are no labels to print.");
        m_ctx.dialogs->message(this, notes.join(QLatin1Char('\n')), Dialogs::Buttons::Ok, Dialogs::Icon::Information);
        return false;
    }
    m_notes->setText(notes.join(QLatin1Char('\n')));
    m_notes->setVisible(!notes.isEmpty());
    settingsChanged();
    return true;
}

LabelLayout PrintLabelsWindow::chosenLayout() const {
    const int sheetIndex = m_layout->currentIndex() - 1;
    if (sheetIndex < 0)
        return LabelLayout::single({m_width->value(), m_height->value()});
    return LabelLayout::sheets().at(static_cast<size_t>(sheetIndex));
}

LabelSheet PrintLabelsWindow::sheet() const {
    return LabelSheet(chosenLayout(), m_labels, m_start->value());
}

void PrintLabelsWindow::settingsChanged() {
    const LabelLayout layout = chosenLayout();
    const bool single = layout.perPage() == 1;
    m_width->setEnabled(single);
    m_height->setEnabled(single);
    m_start->setEnabled(!single);
    m_start->setRange(1, layout.perPage());
    const LabelSheet labels = sheet();
    QString count =
        labels.labelCount() == 1 ? QStringLiteral("1 label") : QStringLiteral("%1 labels").arg(labels.labelCount());
    if (!single)
        count += labels.pageCount() == 1 ? QStringLiteral(" on 1 sheet")
                                         : QStringLiteral(" on %1 sheets").arg(labels.pageCount());
    m_count->setText(count);
    const QStringList thin = labels.tooThinToScan();
    // A few codes name the problem; hundreds would push the buttons off the window.
    constexpr qsizetype kNamed = 5;
    QString named = thin.mid(0, kNamed).join(QStringLiteral(", "));
    if (thin.size() > kNamed)
        named += QStringLiteral(" and %1 more").arg(thin.size() - kNamed);
    m_warning->setText(QStringLiteral("At this label size the bars of %1 are too thin to scan reliably; choose a "
                                      "wider label.")
                           .arg(named));
    m_warning->setVisible(!thin.isEmpty());
    m_preview->updatePreview();
}

void PrintLabelsWindow::printLabels() {
    const bool printed = guarded(*m_ctx.dialogs, this, [&] {
        const LabelSheet labels = sheet();
        const QPrinterInfo target = QPrinterInfo::defaultPrinter();
        const bool toPdf = target.isNull();
        QPrinter printer = toPdf ? QPrinter(QPrinter::HighResolution) : QPrinter(target, QPrinter::HighResolution);
        QString file;
        if (toPdf) {
            file = reservePrintoutPdf(m_ctx.db->dataDir());
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(file);
        }
        printer.setDocName(QStringLiteral("%1 Labels").arg(kProductTitle));
        printer.setCreator(kProductTitle);
        labels.preparePrinter(printer);
        try {
            labels.print(printer);
        } catch (...) {
            if (toPdf)
                QFile::remove(file);
            throw;
        }
        if (toPdf)
            announcePrintoutPdf(file, *m_ctx.shell, *m_ctx.dialogs, this);
    });
    if (printed)
        close();
}
