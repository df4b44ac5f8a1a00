#include "platform/FormHelpers.h"

#include "platform/Twips.h"

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QToolBar>

QLineEdit* makeTextBox(QWidget* parent, const char* name, const QString& caption) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setAccessibleName(caption);
    return box;
}

QLabel* makeBuddyLabel(QWidget* parent, const QString& caption, QWidget* buddy) {
    auto* label = new QLabel(caption, parent);
    label->setBuddy(buddy);
    return label;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

QAction* addToolButton(QToolBar* bar, const QString& tag, const QString& description) {
    QAction* action = bar->addAction(tag);
    action->setData(tag);
    QString name = tag;
    action->setObjectName(name.remove(QLatin1Char(' ')));
    action->setToolTip(description.isEmpty() ? tag : description);
    return action;
}

void setReadingOrder(const QList<QWidget*>& widgets) {
    QWidget* previous = nullptr;
    for (QWidget* widget : widgets) {
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

void clearTextBoxes(QWidget* window) {
    for (QLineEdit* box : window->findChildren<QLineEdit*>())
        if (box->objectName().startsWith(QLatin1String("txt")))
            box->clear();
}

void stretchListUnderToolbar(QWidget* window, QToolBar* toolbar, QWidget* list) {
    const int top = toolbar->sizeHint().height();
    toolbar->setGeometry(0, 0, window->width(), top);
    const int w = window->width() - Twips::toPixelsX(255, window);
    const int h = window->height() - Twips::toPixelsY(1080, window);
    if (w > 0 && h > 0)
        list->setGeometry(Twips::toPixelsX(60, window), top + Twips::toPixelsY(60, window), w, h);
}

int captionWidth(const QWidget* window) {
    const QFontMetrics metrics(QApplication::font("QMdiSubWindowTitleBar"));
    // The icon and the three buttons are about a title bar's height wide each, plus the margins.
    const int bar = window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window);
    return metrics.horizontalAdvance(window->windowTitle()) + 5 * bar;
}

void widenToCaption(QWidget* window) {
    if (window->minimumWidth() == window->maximumWidth())
        return;
    const QScreen* screen = window->screen();
    const int room = screen ? screen->availableGeometry().width() * 9 / 10 : window->width();
    window->resize(std::max(window->width(), std::min(captionWidth(window), room)), window->height());
}
