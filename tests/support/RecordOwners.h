#pragma once

#include "records/store/RecordOwner.h"

#include <QString>
#include <QtGlobal>

class QWidget;
class TestContext;

// The detail window of the owner kind for an owner id, opened as its lists open it (the unit's serial number goes
// into the equipment window's caption).
QWidget* openOwnerWindow(TestContext& t, RecordOwner kind, qint64 id, const QString& serial);
