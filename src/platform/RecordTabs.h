#pragma once

#include <QList>
#include <QString>

class QLabel;
class QLineEdit;
class QWidget;

// The tabs both detail windows carry for their record: notes and the twenty user-defined fields.
// Their buttons stay disabled until those features are in.
QWidget* makeNotesTab(const QString& listCaption);
// Four frames of five boxes, txtField1 to txtField20, each with its caption label.
QWidget* makeFieldsTab(QList<QLabel*>& labels, QList<QLineEdit*>& boxes);
