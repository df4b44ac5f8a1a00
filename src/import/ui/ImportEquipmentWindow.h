#pragma once

#include "import/store/CsvImportStore.h"
#include "platform/AppContext.h"

#include <QWidget>
#include <functional>
#include <optional>

class QComboBox;
class QGroupBox;
class QLabel;
class QLayout;
class QListWidget;
class QTableWidget;

// Brings equipment from a CSV file into the holding table: the file's columns matched to the holding columns by
// their headers, shown with the first rows before anything is written, then every row checked and written at once.
class ImportEquipmentWindow : public QWidget {
    Q_OBJECT
public:
    explicit ImportEquipmentWindow(AppContext& ctx, QWidget* parent = nullptr);

    void load();
    // Called after an import wrote its rows, so the opener's holding list can show them.
    void setOnImported(std::function<void()> fn) { m_onImported = std::move(fn); }

    QTableWidget* preview() const { return m_preview; }
    QComboBox* locationPicker() const { return m_location; }
    QListWidget* newTypes() const { return m_newTypes; }

    // Rows the preview shows beside the mapping.
    static constexpr int kPreviewRows = 20;

public slots:
    void chooseFile();
    // Reads the file at path into the preview; false when it could not be read (said so).
    bool openFile(const QString& path);
    void importRows();

private:
    QLayout* buildFileRow();
    QGroupBox* buildPreviewFrame();
    QLayout* buildChoices();
    QLayout* buildButtons();
    void showPreview();
    void showLocationChoice(bool shown);

    AppContext& m_ctx;
    QLabel* m_fileName;
    QTableWidget* m_preview;
    QLabel* m_locationLabel = nullptr;
    QComboBox* m_location;
    QListWidget* m_newTypes;
    std::optional<ImportFile> m_file;
    std::function<void()> m_onImported;
};
