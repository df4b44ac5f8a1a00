#pragma once

#include "platform/AppContext.h"

#include <QWidget>

class QLineEdit;
class QListWidget;

// Moves every unit of a range of equipment ids to one active location.
class FrmBatchAssign : public QWidget {
    Q_OBJECT
public:
    explicit FrmBatchAssign(AppContext& ctx, QWidget* parent = nullptr);

    void load();

    QLineEdit* startBox() const { return m_start; }
    QLineEdit* endBox() const { return m_end; }
    QListWidget* locations() const { return m_locations; }

public slots:
    void submit();

private:
    void fillLocations();

    AppContext& m_ctx;
    QLineEdit* m_start;
    QLineEdit* m_end;
    QListWidget* m_locations;
};
