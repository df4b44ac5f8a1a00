#pragma once

#include <QString>

class QWidget;

// The attachments tab both detail windows carry for their record. Its buttons stay disabled until attachments
// are in.
QWidget* makeAttachmentsTab(const QString& listCaption);
