#pragma once

#include "equipment/ui/SearchResults.h"
#include "platform/AppContext.h"

#include <QWidget>

class QLineEdit;
class QRadioButton;

// Finds units by serial number or asset tag; a hit opens its detail window.
class frmSearchEquipment : public QWidget {
    Q_OBJECT
public:
    explicit frmSearchEquipment(AppContext& ctx, QWidget* parent = nullptr);

    QLineEdit* searchBox() const { return m_text; }
    QRadioButton* assetTagOption() const { return m_assetTag; }
    ReportList* list() const { return m_results.list(); }

public slots:
    void search();

private:
    AppContext& m_ctx;
    QLineEdit* m_text;
    QRadioButton* m_serial;
    QRadioButton* m_assetTag;
    SearchResults m_results;
};
