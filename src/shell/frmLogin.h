#pragma once

#include "platform/AppContext.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

// The first window: checks a user name and password, then shows the splash and the main window.
class frmLogin : public QDialog {
    Q_OBJECT
public:
    explicit frmLogin(AppContext& ctx, QWidget* parent = nullptr);

    // Counts the active accounts; with none, hands over to the new-user window and closes.
    // Returns false when the login window closed itself.
    bool load();

    bool LoginSucceeded = false;

    QLineEdit* userNameBox() const { return m_userName; }
    QLineEdit* passwordBox() const { return m_password; }

public slots:
    void okClicked();
    void cancelClicked();

private:
    void openNewUserWindow();
    void showSplashThenMainWindow();

    AppContext& m_ctx;
    QLineEdit* m_userName;
    QLineEdit* m_password;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};
