#include "import/ui/ImportEquipmentWindow.h"

#include "data/QuotedValue.h"
#include "locations/store/LocationStore.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/ErrorGuard.h"
#include "platform/FormHelpers.h"
#include "platform/ProductTitle.h"
#include "platform/Twips.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

namespace {
// A progress dialog that shows itself only when the work takes a while.
std::unique_ptr<QProgressDialog> progressDialog(QWidget* parent, const QString& text, int maximum) {
    auto progress = std::make_unique<QProgressDialog>(text, QString(), 0, std::max(maximum, 1), parent);
    progress->setWindowTitle(kProductTitle);
    progress->setWindowModality(Qt::WindowModal);
    progress->setMinimumDuration(500);
    return progress;
}

void step(QProgressDialog& progress, int value) {
    progress.setValue(value);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
} // namespace

ImportEquipmentWindow::ImportEquipmentWindow(AppContext& ctx, QWidget* parent)
    : QWidget(parent), m_ctx(ctx), m_fileName(new QLabel(this)), m_preview(new QTableWidget(this)),
      m_location(new QComboBox(this)), m_newTypes(new QListWidget(this)) {
    setObjectName(QStringLiteral("ImportEquipmentWindow"));
    setWindowTitle(captionFor(QStringLiteral("Import Equipment")));

    QLayout* fileRow = buildFileRow();
    QGroupBox* previewFrame = buildPreviewFrame();
    QLayout* choices = buildChoices();
    QLayout* buttons = buildButtons();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fileRow);
    layout->addWidget(previewFrame, 1);
    layout->addLayout(choices);
    layout->addLayout(buttons);
    // The preview and the choices are made with the window, before any button, so the reading order is set.
    const auto button = [this](const char* name) { return findChild<QPushButton*>(QLatin1String(name)); };
    setReadingOrder(
        {button("cmdChooseFile"), m_preview, m_location, m_newTypes, button("cmdImport"), button("cmdCancel")});
    Twips::setFixedSize(this, 11000, 8000);
}

QLayout* ImportEquipmentWindow::buildFileRow() {
    auto* chooseButton = makeButton(this, "cmdChooseFile", QStringLiteral("Choose File..."));
    connect(chooseButton, &QPushButton::clicked, this, &ImportEquipmentWindow::chooseFile);
    m_fileName->setObjectName(QStringLiteral("lblFileName"));
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(chooseButton);
    fileRow->addWidget(m_fileName, 1);
    return fileRow;
}

QGroupBox* ImportEquipmentWindow::buildPreviewFrame() {
    auto* previewFrame = new QGroupBox(QStringLiteral("Columns and First Rows"), this);
    m_preview->setParent(previewFrame);
    m_preview->setObjectName(QStringLiteral("tblPreview"));
    m_preview->setAccessibleName(QStringLiteral("Columns and First Rows"));
    m_preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    (new QVBoxLayout(previewFrame))->addWidget(m_preview);
    return previewFrame;
}

QLayout* ImportEquipmentWindow::buildChoices() {
    m_location->setObjectName(QStringLiteral("cboLocation"));
    m_location->setAccessibleName(QStringLiteral("Location of Every Row"));
    m_newTypes->setObjectName(QStringLiteral("lstNewTypes"));
    m_newTypes->setAccessibleName(QStringLiteral("Equipment Types to Create"));
    auto* choices = new QHBoxLayout;
    auto* locationColumn = new QVBoxLayout;
    m_locationLabel = makeBuddyLabel(this, QStringLiteral("Location (the file has no location column)"), m_location);
    locationColumn->addWidget(m_locationLabel);
    locationColumn->addWidget(m_location);
    locationColumn->addStretch();
    auto* typesColumn = new QVBoxLayout;
    typesColumn->addWidget(makeBuddyLabel(this, QStringLiteral("Equipment types not known yet"), m_newTypes));
    typesColumn->addWidget(m_newTypes);
    choices->addLayout(locationColumn, 1);
    choices->addLayout(typesColumn, 1);
    return choices;
}

QLayout* ImportEquipmentWindow::buildButtons() {
    auto* importButton = makeButton(this, "cmdImport", QStringLiteral("Import"));
    auto* cancelButton = makeButton(this, "cmdCancel", QStringLiteral("Cancel"));
    connect(importButton, &QPushButton::clicked, this, &ImportEquipmentWindow::importRows);
    connect(cancelButton, &QPushButton::clicked, this, &QWidget::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(importButton);
    buttons->addWidget(cancelButton);
    return buttons;
}

void ImportEquipmentWindow::load() {
    m_location->clear();
    for (const LocationIdName& l : LocationStore(*m_ctx.db).activeLocationNames())
        m_location->addItem(l.name.toString(), l.id);
    showPreview();
}

void ImportEquipmentWindow::chooseFile() {
    const Dialogs::OpenFile chosen = m_ctx.dialogs->openFile(this, QStringLiteral("Import Equipment"),
                                                             QStringLiteral("CSV Files (*.csv);;All Files (*)"));
    if (!chosen.path.isEmpty())
        openFile(chosen.path);
}

bool ImportEquipmentWindow::openFile(const QString& path) {
    m_file.reset();
    m_fileName->clear();
    const bool read = guarded(*m_ctx.dialogs, this, [&] {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw DataError(QStringLiteral("\"%1\" cannot be read: %2").arg(path, file.errorString()));
        const QByteArray bytes = file.readAll();
        auto progress = progressDialog(this, QStringLiteral("Reading the file..."), 1000);
        m_file = CsvImportStore::parse(bytes, [&](int permille) { step(*progress, permille); });
        m_fileName->setText(QFileInfo(path).fileName());
        m_newTypes->clear();
        m_newTypes->addItems(CsvImportStore(*m_ctx.db).unknownTypes(*m_file));
    });
    showPreview();
    return read;
}

void ImportEquipmentWindow::showPreview() {
    m_preview->clear();
    if (!m_file) {
        m_preview->setRowCount(0);
        m_preview->setColumnCount(0);
        m_newTypes->clear();
        showLocationChoice(false);
        return;
    }
    const ImportFile& file = *m_file;
    const int shown = static_cast<int>(std::min<size_t>(file.rows.size(), kPreviewRows));
    m_preview->setColumnCount(static_cast<int>(file.headers.size()));
    m_preview->setRowCount(shown + 1);
    m_preview->setHorizontalHeaderLabels(file.headers);
    QStringList rowLabels = {QStringLiteral("Imported as")};
    for (int c = 0; c < file.headers.size(); ++c) {
        const QString caption = CsvImportStore::caption(file.targets.at(c));
        auto* item = new QTableWidgetItem(caption.isEmpty() ? QStringLiteral("(not imported)") : caption);
        QFont bold = item->font();
        bold.setBold(true);
        item->setFont(bold);
        m_preview->setItem(0, c, item);
    }
    for (int r = 0; r < shown; ++r) {
        rowLabels << QString::number(file.rowNumbers[r]);
        const QStringList& row = file.rows[r];
        for (int c = 0; c < row.size() && c < file.headers.size(); ++c)
            m_preview->setItem(r + 1, c, new QTableWidgetItem(row.at(c)));
    }
    m_preview->setVerticalHeaderLabels(rowLabels);
    showLocationChoice(!file.has(ImportTarget::Location));
}

// The one location for every row is asked only of a file that names none.
void ImportEquipmentWindow::showLocationChoice(bool shown) {
    m_locationLabel->setVisible(shown);
    m_location->setVisible(shown);
}

void ImportEquipmentWindow::importRows() {
    if (!m_file) {
        m_ctx.dialogs->message(this, QStringLiteral("Choose the file to import first."), Dialogs::Buttons::Ok,
                               Dialogs::Icon::Information);
        return;
    }
    int imported = -1;
    guarded(*m_ctx.dialogs, this, [&] {
        CsvImportStore store(*m_ctx.db);
        ImportOptions options;
        options.today = m_ctx.clock->today();
        if (!m_file->has(ImportTarget::Location))
            options.locationId = m_location->currentData().toLongLong();
        // Asked again here: another window may have added or removed types since the file was read.
        options.createTypes = store.unknownTypes(*m_file);
        if (!options.createTypes.isEmpty() &&
            m_ctx.dialogs->message(this,
                                   QStringLiteral("These equipment types are not known yet:\n\n%1\n\nCreate them?")
                                       .arg(quotedValues(options.createTypes).join(QLatin1Char('\n'))),
                                   Dialogs::Buttons::YesNo, Dialogs::Icon::Question) != Dialogs::Answer::Yes)
            return;
        const qsizetype total = static_cast<qsizetype>(m_file->rows.size());
        auto progress = progressDialog(this, QStringLiteral("Importing equipment..."), static_cast<int>(total));
        try {
            imported = store.import(*m_file, options,
                                    [&](qsizetype done, qsizetype) { step(*progress, static_cast<int>(done)); });
        } catch (const ImportRowError& e) {
            progress->reset();
            m_ctx.dialogs->message(this, QStringLiteral("Nothing was imported.\n\n%1").arg(e.text()),
                                   Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
        }
    });
    if (imported < 0)
        return;
    m_ctx.dialogs->message(this,
                           imported == 1
                               ? QStringLiteral("1 row was imported into the holding table.")
                               : QStringLiteral("%1 rows were imported into the holding table.").arg(imported),
                           Dialogs::Buttons::Ok, Dialogs::Icon::Information);
    if (m_onImported)
        m_onImported();
    close();
}
