#pragma once

#include <QStatusBar>

class Clock;
class QKeyEvent;
class QLabel;
class QTimer;

// A status bar of five equal panels: Caps Lock, Num Lock and Insert, each lit while on, then the time and the date.
// Qt cannot ask the keyboard for its lock states, so they are followed from the keys typed anywhere in the
// application: a lock key toggles its state, and a typed letter or keypad key shows what the state must be. Until
// then a lock shows off.
class KeyStatusBar : public QStatusBar {
    Q_OBJECT
public:
    KeyStatusBar(const Clock& clock, QWidget* parent = nullptr);

    enum Panel { CapsLock, NumLock, Insert, Time, Date, PanelCount };
    QLabel* panel(Panel p) const { return m_panels[p]; }
    bool isOn(Panel p) const;
    // Shows the clock's time and date now; a timer does so every second.
    void showTime();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void setOn(Panel p, bool on);
    void follow(const QKeyEvent* key);

    const Clock& m_clock;
    QLabel* m_panels[PanelCount];
    QTimer* m_timer;
};
