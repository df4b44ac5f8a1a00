#include "shell/FrmAbout.h"

#include "platform/Dialogs.h"
#include "platform/ProductTitle.h"
#include "platform/Shell.h"
#include "platform/Twips.h"
#include "platform/WindowKeys.h"
#include "shell/Logo.h"

#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QtEndian>

namespace {
constexpr int kWidthTwips = 5820;
constexpr int kHeightTwips = 4035;
const QString kUnavailable = QStringLiteral("System Information Is Unavailable At This Time");

QFrame* ruler(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}
} // namespace

FrmAbout::FrmAbout(AppContext& ctx, QWidget* parent) : QWidget(parent), m_ctx(ctx), m_version(new QLabel(this)) {
    setObjectName(QStringLiteral("FrmAbout"));
    setWindowTitle(QStringLiteral("About ") + kProductTitle);

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("picIcon"));
    picture->setPixmap(kavrelLogo(48));
    auto* title = new QLabel(kProductTitle, this);
    title->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = title->font();
    titleFont.setPointSize(titleFont.pointSize() + 6);
    titleFont.setBold(true);
    title->setFont(titleFont);
    m_version->setObjectName(QStringLiteral("lblVersion"));
    m_version->setText(QStringLiteral("Version %1.%2.%3")
                           .arg(KAVREL_VERSION_MAJOR)
                           .arg(KAVREL_VERSION_MINOR)
                           .arg(KAVREL_VERSION_PATCH));
    auto* description = new QLabel(
        QStringLiteral("This application allows employees to enter and maintain inventory information"), this);
    description->setObjectName(QStringLiteral("lblDescription"));
    description->setWordWrap(true);
    auto* disclaimer = new QLabel(QStringLiteral("Warning: this program is protected by copyright law."), this);
    disclaimer->setObjectName(QStringLiteral("lblDisclaimer"));
    disclaimer->setWordWrap(true);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    auto* sysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    sysInfo->setObjectName(QStringLiteral("cmdSysInfo"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(picture, 0, 0, 3, 1, Qt::AlignTop);
    grid->addWidget(title, 0, 1, 1, 2);
    grid->addWidget(m_version, 1, 1, 1, 2);
    grid->addWidget(description, 2, 1, 1, 2);
    grid->addWidget(ruler(this), 3, 0, 1, 3);
    grid->addWidget(disclaimer, 4, 0, 2, 2);
    grid->addWidget(ok, 4, 2);
    grid->addWidget(sysInfo, 5, 2);
    grid->addWidget(ruler(this), 6, 0, 1, 3);
    grid->setRowStretch(2, 1);

    connect(ok, &QPushButton::clicked, this, &QWidget::close);
    closesOnEscape(this);
    connect(sysInfo, &QPushButton::clicked, this, &FrmAbout::StartSysInfo);
    Twips::setFixedSize(this, kWidthTwips, kHeightTwips);
}

void FrmAbout::StartSysInfo() {
    QString path;
    if (!GetKeyValue(Registry::Root::LocalMachine, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                     QStringLiteral("PATH"), path)) {
        QString folder;
        if (GetKeyValue(Registry::Root::LocalMachine, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                        QStringLiteral("MSINFO"), folder) &&
            QFileInfo::exists(folder + QStringLiteral("/MSINFO32.EXE")))
            path = folder + QStringLiteral("/MSINFO32.EXE");
    }
    if (path.isEmpty() || !m_ctx.shell->startProgram(path, {}))
        m_ctx.dialogs->message(this, kUnavailable);
}

bool FrmAbout::GetKeyValue(Registry::Root KeyRoot, const QString& KeyName, const QString& SubKeyRef,
                           QString& KeyVal) const {
    const std::optional<Registry::Value> value =
        m_ctx.registry ? m_ctx.registry->read(KeyRoot, KeyName, SubKeyRef) : std::nullopt;
    if (!value) {
        KeyVal.clear();
        return false;
    }
    if (value->type == Registry::Text) {
        QByteArray text = value->data;
        if (text.endsWith('\0'))
            text.chop(1);
        KeyVal = QString::fromUtf8(text);
    } else if (value->type == Registry::Number && value->data.size() >= 4) {
        KeyVal = QString::number(qFromLittleEndian<qint32>(value->data.constData()));
    }
    return true;
}
