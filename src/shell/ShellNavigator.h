#pragma once

#include "platform/AppContext.h"
#include "platform/Navigator.h"

// Opens windows by intent for the subsystems, which know only their own windows.
class ShellNavigator : public Navigator {
public:
    explicit ShellNavigator(AppContext& ctx) : m_ctx(ctx) {}

    void fillMenuBar(QMenuBar* bar, QWidget* owner, Menu variant) override;
    bool createLocation(QWidget* owner) override;
    bool equipmentDetail(QWidget* owner, qint64 id, const QString& serial, OnTooManyWindows how) override;
    bool stocktake(QWidget* owner, qint64 locId, OnTooManyWindows how) override;
    bool printLabels(QWidget* owner, const QList<qint64>& unitIds) override;
    bool importEquipment(QWidget* owner, std::function<void()> onImported) override;

private:
    AppContext& m_ctx;
};
