#pragma once

#include "platform/AppContext.h"

#include <QWidget>
#include <functional>

class QGroupBox;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;

// Adds an account, then ends the application so that the new user logs in at the next start.
class frmNewUser : public QWidget {
    Q_OBJECT
public:
    explicit frmNewUser(AppContext& ctx, QWidget* parent = nullptr);

    // A password of a number from 1 to 9000 with up to four characters of the last name inserted at random
    // positions after its first character. random() yields uniform numbers in [0, 1), drawn in a fixed order.
    static QString GeneratePassword(const QString& lastName, const std::function<double()>& random);

public slots:
    void generateUserName();
    void generatePassword();
    void save();
    void clear();
    void cancel();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QGroupBox* buildUserFrame();
    QLayout* buildButtons();
    QLineEdit* addBox(const char* name, const QString& accessibleName);

    AppContext& m_ctx;
    QLineEdit* m_firstName;
    QLineEdit* m_middleName;
    QLineEdit* m_lastName;
    QLineEdit* m_email;
    QLineEdit* m_userName;
    QLineEdit* m_password;
    QLineEdit* m_passwordRetyped;
    QLabel* m_generatedPassword;
    bool m_ending = false;
};
