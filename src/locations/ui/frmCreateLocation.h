#pragma once

#include "locations/ui/LocationFields.h"
#include "platform/AppContext.h"

#include <QPointer>
#include <QWidget>

class QListWidget;
class frmActiveLocations;

// Enters a new location with its contact person; stays open for the next one.
class frmCreateLocation : public QWidget {
    Q_OBJECT
public:
    explicit frmCreateLocation(AppContext& ctx, QWidget* parent = nullptr);

    // The list to refresh when the user leaves with Cancel; empty when opened from the menu.
    QPointer<frmActiveLocations> RefreshF;

    QListWidget* stateList() const { return m_location.states; }

public slots:
    void submit();
    void clear();
    void cancel();

private:
    AppContext& m_ctx;
    LocationFields m_location;
    ContactFields m_contact;
};
