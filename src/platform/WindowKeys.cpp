#include "platform/WindowKeys.h"

#include <QEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QVariant>

namespace {

const char* const kClosesOnEscape = "kavrelClosesOnEscape";

bool isCancelOrClose(const QPushButton* button) {
    static const QStringList names{QStringLiteral("cmdCancel"), QStringLiteral("cmdClose"), QStringLiteral("btnClose")};
    QString caption = button->text();
    caption.remove(QLatin1Char('&'));
    return names.contains(button->objectName()) || caption == QLatin1String("Cancel") ||
           caption == QLatin1String("Close");
}

// Sees only the keys no control of the window took: a child's key event travels up to its window when the child
// ignores it.
class WindowKeys : public QObject {
public:
    explicit WindowKeys(QWidget* window) : QObject(window), m_window(window) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != m_window || event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Escape || (key->modifiers() & ~Qt::KeypadModifier))
            return false;
        if (QPushButton* button = cancelButtonOf(m_window))
            button->click();
        else if (m_window->property(kClosesOnEscape).toBool())
            m_window->close();
        else
            return false;
        return true;
    }

private:
    QWidget* m_window;
};

} // namespace

QPushButton* cancelButtonOf(QWidget* window) {
    QPushButton* hidden = nullptr;
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
        if (!button->isEnabled() || !isCancelOrClose(button))
            continue;
        // A detail window's Cancel may sit on a tab not shown at the moment.
        if (button->isVisibleTo(window))
            return button;
        if (!hidden)
            hidden = button;
    }
    return hidden;
}

void closesOnEscape(QWidget* window) {
    window->setProperty(kClosesOnEscape, true);
}

void answerWindowKeys(QWidget* window) {
    // Outside a dialog Qt presses a focused button on Space only; autoDefault adds Enter and Return.
    for (QPushButton* button : window->findChildren<QPushButton*>())
        button->setAutoDefault(true);
    new WindowKeys(window);
}
