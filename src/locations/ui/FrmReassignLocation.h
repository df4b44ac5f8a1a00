#pragma once

#include "platform/AppContext.h"

#include <QPointer>
#include <QWidget>

class ReportList;
class frmActiveLocations;

// Moves every unit of one location to another, with history, and retires the emptied location.
class FrmReassignLocation : public QWidget {
    Q_OBJECT
public:
    explicit FrmReassignLocation(AppContext& ctx, QWidget* parent = nullptr);

    void load();

    qint64 Tag = 0;       // the location to empty and retire
    QString LocationName; // its name, for the question
    QPointer<frmActiveLocations> RefreshF;

    ReportList* list() const { return m_list; }

public slots:
    void submit();

private:
    AppContext& m_ctx;
    ReportList* m_list;
};
