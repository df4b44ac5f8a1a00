#pragma once

#include "data/SortCycle.h"
#include "platform/AppContext.h"
#include "stocktake/store/StocktakeStore.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QKeyEvent;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;
class QSplitter;
class ReportList;

// Stocktake by scanner: the codes scanned at one location, each classified at once (here, elsewhere, unknown,
// already scanned), with running counts and the units registered here not scanned yet. Every scan is stored as it
// is made, so choosing the location again carries on where a closed or killed stocktake stopped.
class StocktakeWindow : public QWidget {
    Q_OBJECT
public:
    explicit StocktakeWindow(AppContext& ctx, QWidget* parent = nullptr);

    // Set by an opener that counts one location; otherwise the location last counted and not finished.
    qint64 LocId = 0;

    void load();

    QComboBox* locationBox() const { return m_location; }
    QComboBox* unknownTypeBox() const { return m_unknownType; }
    QLineEdit* scanBox() const { return m_scan; }
    QLabel* resultLabel() const { return m_result; }
    ReportList* scannedList() const { return m_scanned; }
    ReportList* missingList() const { return m_missing; }
    const StocktakeCounts& counts() const { return m_counts; }
    qint64 stocktakeId() const { return m_stocktakeId; }

public slots:
    // Classifies and records what the scan box holds, then empties it for the next code.
    void submitScan();
    void finish();
    void discard();
    void printMissing();
    void exportMissing();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setUpScanAndResult();
    QLayout* buildTop();
    QLayout* buildCounts();
    QSplitter* buildLists();
    QLayout* buildOptions();
    QLayout* buildButtons();
    // Gives a key meant for a scan to the scan box; false leaves it to the control it came to.
    bool takeScannerKey(const QKeyEvent* key);
    // Another window or workstation ended the stocktake shown; the scan of code was not recorded.
    void tellEndedElsewhere(const QString& code);
    qint64 locationId() const;
    QString locationName() const;
    // Reads the chosen location's open stocktake (or none) afresh: counts, scans and missing units.
    void showLocation();
    void addScanRow(const ScanResult& scan, bool bulk);
    void showResult(const ScanResult& scan);
    void paintResult(const QColor& background, const QColor& text);
    void showCounts();
    void showStatus();
    // Re-sorts the rows in hand where it can, else reads them again in the order asked.
    void sortMissing(int column);

    enum CountSlot { HereSlot, ElsewhereSlot, UnknownSlot, RepeatSlot, MissingSlot, CountSlots };

    AppContext& m_ctx;
    QComboBox* m_location;
    QLabel* m_status;
    QLineEdit* m_scan;
    QLabel* m_result;
    QLabel* m_detail;
    QLabel* m_countLabels[CountSlots];
    ReportList* m_scanned;
    ReportList* m_missing;
    QCheckBox* m_moveElsewhere;
    QCheckBox* m_holdUnknown;
    QComboBox* m_unknownType;
    QPushButton* m_finish;
    QPushButton* m_discard;
    SortCycle m_sort;
    SortOrder m_order;
    StocktakeCounts m_counts;
    qint64 m_stocktakeId = 0;
    QString m_started;
    bool m_justEnded = false;
};
