#pragma once

#include "platform/AppContext.h"
#include "platform/Registry.h"

#include <QWidget>

class QLabel;

// Shows the title, version and description, and starts the desktop's system information tool.
class FrmAbout : public QWidget {
    Q_OBJECT
public:
    explicit FrmAbout(AppContext& ctx, QWidget* parent = nullptr);

    void StartSysInfo();
    // Reads one value: text as it is (without a final zero character), a 32-bit number as decimal text.
    // Returns false, with keyVal emptied, when the key or value is missing; other types leave keyVal unchanged.
    bool GetKeyValue(Registry::Root KeyRoot, const QString& KeyName, const QString& SubKeyRef, QString& KeyVal) const;

    QLabel* versionLabel() const { return m_version; }

private:
    AppContext& m_ctx;
    QLabel* m_version;
};
