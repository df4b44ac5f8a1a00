#pragma once

#include "platform/AppContext.h"

#include <QWidget>

class QLineEdit;
class ReportList;

// Keeps the list of equipment types.
class frmCreateEquipmentTypes : public QWidget {
    Q_OBJECT
public:
    explicit frmCreateEquipmentTypes(AppContext& ctx, QWidget* parent = nullptr);

    void load();
    ReportList* list() const { return m_list; }

public slots:
    void add();
    void deleteSelected();

private:
    AppContext& m_ctx;
    QLineEdit* m_name;
    ReportList* m_list;
};
