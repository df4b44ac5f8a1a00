#pragma once

#include "equipment/ui/SearchResults.h"
#include "platform/AppContext.h"

#include <QWidget>

class QLineEdit;

// Finds units by a scanned serial number: the scan goes into a modal input box, which takes a scanner's keys
// whichever control has the focus.
class FrmSearchEquipmentScanner : public QWidget {
    Q_OBJECT
public:
    explicit FrmSearchEquipmentScanner(AppContext& ctx, QWidget* parent = nullptr);

    // Asks for the first scan.
    void load();

    QLineEdit* searchBox() const { return m_text; }
    ReportList* list() const { return m_results.list(); }

public slots:
    void askForScan();
    void search();

private:
    AppContext& m_ctx;
    QLineEdit* m_text;
    SearchResults m_results;
};
