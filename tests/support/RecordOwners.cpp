#include "support/RecordOwners.h"

#include "equipment/ui/frmEditEquipment.h"
#include "locations/ui/DisplayInformation.h"
#include "platform/OpenWindow.h"
#include "support/TestContext.h"

QWidget* openOwnerWindow(TestContext& t, RecordOwner kind, qint64 id, const QString& serial) {
    if (kind == RecordOwner::Location)
        return openWindow<DisplayInformation>(t.ctx, nullptr,
                                              [&](DisplayInformation& w) { w.LocId = QString::number(id); });
    return openWindow<frmEditEquipment>(t.ctx, nullptr, [&](frmEditEquipment& w) {
        w.Idnum = QString::number(id);
        w.ssn = serial;
    });
}
