#pragma once

#include "platform/AppContext.h"

#include <QPointer>
#include <QWidget>

class QLineEdit;
class QListWidget;
class frmActiveLocations;

// Enters a new location with its contact person; stays open for the next one.
class frmCreateLocation : public QWidget {
    Q_OBJECT
public:
    explicit frmCreateLocation(AppContext& ctx, QWidget* parent = nullptr);

    // The list to refresh when the user leaves with Cancel; empty when opened from the menu.
    QPointer<frmActiveLocations> RefreshF;

    QListWidget* stateList() const { return m_states; }

public slots:
    void submit();
    void clear();
    void cancel();

private:
    AppContext& m_ctx;
    QLineEdit* m_name;
    QLineEdit* m_addressOne;
    QLineEdit* m_addressTwo;
    QLineEdit* m_city;
    QLineEdit* m_zip;
    QLineEdit* m_phone;
    QListWidget* m_states;
    QLineEdit* m_firstName;
    QLineEdit* m_middleName;
    QLineEdit* m_lastName;
    QLineEdit* m_title;
    QLineEdit* m_contactPhone;
    QLineEdit* m_cellPhone;
    QLineEdit* m_email;
};
