#include "shell/ShellNavigator.h"

#include "equipment/ui/frmEditEquipment.h"
#include "import/ui/ImportEquipmentWindow.h"
#include "labels/ui/PrintLabelsWindow.h"
#include "locations/ui/frmCreateLocation.h"
#include "platform/OpenWindow.h"
#include "shell/MainMenu.h"
#include "stocktake/ui/StocktakeWindow.h"

void ShellNavigator::fillMenuBar(QMenuBar* bar, QWidget* owner, Menu variant) {
    buildMainMenu(bar, m_ctx, owner, variant);
}

bool ShellNavigator::createLocation(QWidget* owner) {
    return openWindow<frmCreateLocation>(m_ctx, owner) != nullptr;
}

bool ShellNavigator::equipmentDetail(QWidget* owner, qint64 id, const QString& serial, OnTooManyWindows how) {
    return openWindow<frmEditEquipment>(
               m_ctx, owner,
               [&](frmEditEquipment& w) {
                   w.Idnum = QString::number(id);
                   w.ssn = serial;
               },
               how) != nullptr;
}

bool ShellNavigator::stocktake(QWidget* owner, qint64 locId, OnTooManyWindows how) {
    return openWindow<StocktakeWindow>(
               m_ctx, owner, [locId](StocktakeWindow& w) { w.LocId = locId; }, how) != nullptr;
}

bool ShellNavigator::printLabels(QWidget* owner, const QList<qint64>& unitIds) {
    return openWindow<PrintLabelsWindow>(m_ctx, owner, [&](PrintLabelsWindow& w) { w.unitIds = unitIds; }) != nullptr;
}

bool ShellNavigator::importEquipment(QWidget* owner, std::function<void()> onImported) {
    return openWindow<ImportEquipmentWindow>(
               m_ctx, owner, [&](ImportEquipmentWindow& w) { w.setOnImported(std::move(onImported)); }) != nullptr;
}
