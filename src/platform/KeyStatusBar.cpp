#include "platform/KeyStatusBar.h"

#include "data/DateText.h"
#include "platform/Clock.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QTimer>
#include <iterator>

KeyStatusBar::KeyStatusBar(const Clock& clock, QWidget* parent)
    : QStatusBar(parent), m_clock(clock), m_timer(new QTimer(this)) {
    setSizeGripEnabled(false);
    const char* const texts[] = {"CAPS", "NUM", "INS", "", ""};
    const char* const names[] = {"Caps Lock", "Num Lock", "Insert", "Time", "Date"};
    static_assert(std::size(texts) == PanelCount && std::size(names) == PanelCount);
    for (int p = 0; p < PanelCount; ++p) {
        auto* label = new QLabel(QLatin1String(texts[p]), this);
        label->setAccessibleName(QLatin1String(names[p]));
        label->setAlignment(Qt::AlignCenter);
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        addPermanentWidget(label);
        m_panels[p] = label;
    }
    for (Panel p : {CapsLock, NumLock, Insert})
        setOn(p, false);
    showTime();
    connect(m_timer, &QTimer::timeout, this, &KeyStatusBar::showTime);
    m_timer->start(1000);
    qApp->installEventFilter(this);
}

bool KeyStatusBar::isOn(Panel p) const {
    return m_panels[p]->isEnabled();
}

void KeyStatusBar::setOn(Panel p, bool on) {
    m_panels[p]->setEnabled(on);
}

void KeyStatusBar::showTime() {
    const QDateTime now = m_clock.now();
    m_panels[Time]->setText(QLocale().toString(now.time(), QLocale::ShortFormat));
    m_panels[Date]->setText(DateText::toShort(now.date()));
}

bool KeyStatusBar::eventFilter(QObject* watched, QEvent* event) {
    // A key reaches the filter again for every widget it passes on its way up; the window system delivers it to
    // a window first, once.
    if (event->type() == QEvent::KeyPress && watched->isWindowType())
        follow(static_cast<QKeyEvent*>(event));
    return QStatusBar::eventFilter(watched, event);
}

void KeyStatusBar::follow(const QKeyEvent* key) {
    if (key->isAutoRepeat())
        return;
    const int code = key->key();
    const bool keypad = key->modifiers().testFlag(Qt::KeypadModifier);
    if (code == Qt::Key_CapsLock)
        setOn(CapsLock, !isOn(CapsLock));
    else if (code == Qt::Key_NumLock)
        setOn(NumLock, !isOn(NumLock));
    else if (code == Qt::Key_Insert)
        setOn(Insert, !isOn(Insert));
    if (keypad && code >= Qt::Key_0 && code <= Qt::Key_9)
        setOn(NumLock, true);
    else if (keypad &&
             ((code >= Qt::Key_Home && code <= Qt::Key_PageDown) || code == Qt::Key_Insert || code == Qt::Key_Delete))
        setOn(NumLock, false);
    const QString text = key->text();
    if (text.size() == 1 && text.at(0).isLetter() && text.at(0).isUpper() != text.at(0).isLower()) {
        const bool shift = key->modifiers().testFlag(Qt::ShiftModifier);
        setOn(CapsLock, text.at(0).isUpper() != shift);
    }
}

void KeyStatusBar::resizeEvent(QResizeEvent* event) {
    QStatusBar::resizeEvent(event);
    const int share = width() / PanelCount;
    for (QLabel* label : m_panels)
        label->setFixedWidth(std::max(0, share - 6));
}
