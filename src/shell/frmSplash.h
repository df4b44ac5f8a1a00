#pragma once

#include <QWidget>

class QFrame;

// Shown for three seconds after a successful login. Its controls scale with the window.
class frmSplash : public QWidget {
    Q_OBJECT
public:
    explicit frmSplash(QWidget* parent = nullptr);

    bool resizeArmed() const { return m_resizeArmed; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QFrame* m_frame;
    bool m_moveWindow = true;
    bool m_resizeArmed = false;
    int m_recordedWidth = 0;
    int m_recordedHeight = 0;
};
