#pragma once

#include <QString>

class QWidget;

// The modal questions of the desktop. Windows never call QMessageBox or QInputDialog themselves, so tests can
// script the answers and read every message shown.
class Dialogs {
public:
    // YesNoDefaultNo: for questions whose Yes destroys data, so that a hurried Enter keeps it.
    enum class Buttons { Ok, YesNo, YesNoDefaultNo, RetryCancel };
    enum class Icon { None, Information, Question, Critical };
    enum class Answer { Ok, Yes, No, Retry, Cancel };
    struct OpenFile {
        QString path;     // full path, empty when nothing was chosen
        QString fileName; // the name without its folder
    };

    virtual ~Dialogs() = default;

    // An empty title shows the product title.
    virtual Answer message(QWidget* parent, const QString& text, Buttons buttons = Buttons::Ok, Icon icon = Icon::None,
                           const QString& title = QString()) = 0;
    // Returns the typed text, or the empty text on Cancel.
    virtual QString input(QWidget* parent, const QString& prompt, const QString& title = QString(),
                          const QString& defaultText = QString()) = 0;
    // folder: where the dialog starts; empty: where it last was.
    virtual OpenFile openFile(QWidget* parent, const QString& title, const QString& filter,
                              const QString& folder = QString()) = 0;
    // The path to write to, empty when nothing was chosen; suggested is the folder and name offered. The dialog
    // asks before a file of that name is replaced.
    virtual QString saveFile(QWidget* parent, const QString& title, const QString& filter,
                             const QString& suggested) = 0;
    // A folder, empty when nothing was chosen.
    virtual QString chooseFolder(QWidget* parent, const QString& title, const QString& start) = 0;
};

// The real dialogs of the desktop.
class DesktopDialogs : public Dialogs {
public:
    Answer message(QWidget* parent, const QString& text, Buttons buttons, Icon icon, const QString& title) override;
    QString input(QWidget* parent, const QString& prompt, const QString& title, const QString& defaultText) override;
    OpenFile openFile(QWidget* parent, const QString& title, const QString& filter,
                      const QString& folder = QString()) override;
    QString saveFile(QWidget* parent, const QString& title, const QString& filter, const QString& suggested) override;
    QString chooseFolder(QWidget* parent, const QString& title, const QString& start) override;
};
