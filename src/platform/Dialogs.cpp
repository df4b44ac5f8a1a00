#include "platform/Dialogs.h"

#include "platform/FormHelpers.h"
#include "platform/ProductTitle.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

Dialogs::Answer DesktopDialogs::message(QWidget* parent, const QString& text, Buttons buttons, Icon icon,
                                        const QString& title) {
    QMessageBox box(parent);
    box.setWindowTitle(title.isEmpty() ? kProductTitle : title);
    box.setText(text);
    switch (icon) {
    case Icon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case Icon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    if (buttons == Buttons::YesNo || buttons == Buttons::YesNoDefaultNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(buttons == Buttons::YesNo ? QMessageBox::Yes : QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
    }
    if (buttons == Buttons::RetryCancel) {
        box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Retry);
        return box.exec() == QMessageBox::Retry ? Answer::Retry : Answer::Cancel;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return Answer::Ok;
}

QString DesktopDialogs::input(QWidget* parent, const QString& prompt, const QString& title,
                              const QString& defaultText) {
    QInputDialog dialog(parent);
    dialog.setWindowTitle(title.isEmpty() ? kProductTitle : title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    // A short prompt would make the box narrower than its caption; the box's layout sets its size from the text
    // box's, so that is the one widened.
    if (auto* box = dialog.findChild<QLineEdit*>())
        box->setMinimumWidth(captionWidth(&dialog));
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}

Dialogs::OpenFile DesktopDialogs::openFile(QWidget* parent, const QString& title, const QString& filter,
                                           const QString& folder) {
    const QString path = QFileDialog::getOpenFileName(parent, title, folder, filter);
    if (path.isEmpty())
        return {};
    return {path, QFileInfo(path).fileName()};
}

QString DesktopDialogs::saveFile(QWidget* parent, const QString& title, const QString& filter,
                                 const QString& suggested) {
    return QFileDialog::getSaveFileName(parent, title, suggested, filter);
}

QString DesktopDialogs::chooseFolder(QWidget* parent, const QString& title, const QString& start) {
    return QFileDialog::getExistingDirectory(parent, title, start);
}
