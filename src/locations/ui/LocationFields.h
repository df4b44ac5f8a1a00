#pragma once

#include "locations/store/LocationStore.h"

class QFormLayout;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QWidget;

// The "Location Information" frame of the location windows.
struct LocationFields {
    QGroupBox* frame = nullptr;
    QFormLayout* form = nullptr;
    QLineEdit* name = nullptr;
    QLineEdit* addressOne = nullptr;
    QLineEdit* addressTwo = nullptr;
    QLineEdit* city = nullptr;
    QListWidget* states = nullptr;
    QLineEdit* zip = nullptr;
    QLineEdit* phone = nullptr;

    explicit LocationFields(QWidget* parent);
    LocationAddress address() const;
};

// The "Contact Information" frame of the location windows.
struct ContactFields {
    QGroupBox* frame = nullptr;
    QFormLayout* form = nullptr;
    QLineEdit* firstName = nullptr;
    QLineEdit* middleName = nullptr;
    QLineEdit* lastName = nullptr;
    QLineEdit* title = nullptr;
    QLineEdit* phone = nullptr;
    QLineEdit* cellPhone = nullptr;
    QLineEdit* email = nullptr;

    explicit ContactFields(QWidget* parent);
    LocationContact contact() const;
};
