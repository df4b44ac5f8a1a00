#include "shell/frmSplash.h"

#include "platform/ProductTitle.h"
#include "shell/LayoutScaling.h"
#include "shell/Logo.h"

#include <QCoreApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QSysInfo>

namespace {
QLabel* addLabel(QWidget* parent, const char* name, const QString& text, QRect geometry, int pointSize,
                 bool bold = false) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    label->setWordWrap(true);
    QFont font = label->font();
    font.setPointSize(pointSize);
    font.setBold(bold);
    label->setFont(font);
    return label;
}

QString platformName() {
    const QString kernel = QSysInfo::kernelType();
    return kernel.isEmpty() ? QSysInfo::prettyProductName() : kernel.left(1).toUpper() + kernel.mid(1);
}
} // namespace

frmSplash::frmSplash(QWidget* parent) : QWidget(parent, Qt::SplashScreen), m_frame(new QFrame(this)) {
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(kProductTitle);
    // Geometry is absolute on purpose: the controls scale with the window instead of being laid out.
    resize(480, 300);
    m_frame->setObjectName(QStringLiteral("Frame1"));
    m_frame->setFrameShape(QFrame::Box);
    m_frame->setGeometry(8, 8, 464, 284);
    m_frame->installEventFilter(this);

    auto* logo = new QLabel(m_frame);
    logo->setObjectName(QStringLiteral("imgLogo"));
    logo->setGeometry(16, 24, 96, 96);
    logo->setPixmap(kavrelLogo(96));
    logo->setScaledContents(true);

    addLabel(m_frame, "lblProductName", kProductTitle, QRect(136, 24, 300, 40), 22, true);
    addLabel(m_frame, "lblVersion", QStringLiteral("Version %1").arg(QCoreApplication::applicationVersion()),
             QRect(136, 72, 300, 20), 10);
    addLabel(m_frame, "lblPlatform", platformName(), QRect(136, 96, 300, 20), 10, true);
    addLabel(m_frame, "lblWarning",
             QStringLiteral("Warning: this program is protected by copyright law. Unauthorized reproduction or "
                            "distribution of this program, or any portion of it, may result in severe civil and "
                            "criminal penalties."),
             QRect(16, 180, 432, 80), 8);

    m_recordedWidth = width();
    m_recordedHeight = height();
}

void frmSplash::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!m_resizeArmed) {
        m_resizeArmed = true;
        return;
    }
    if (m_recordedWidth <= 0 || m_recordedHeight <= 0)
        return;
    m_moveWindow = false;
    ScaleFormControls(static_cast<double>(width()) / m_recordedWidth, static_cast<double>(height()) / m_recordedHeight,
                      this, m_moveWindow);
    m_recordedWidth = width();
    m_recordedHeight = height();
}

void frmSplash::keyPressEvent(QKeyEvent* event) {
    QWidget::keyPressEvent(event);
    close();
}

bool frmSplash::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_frame && event->type() == QEvent::MouseButtonRelease)
        close();
    return QWidget::eventFilter(watched, event);
}
