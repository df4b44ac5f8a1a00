#include "shell/LayoutScaling.h"

#include <QComboBox>
#include <QWidget>
#include <cmath>
#include <vector>

namespace {
int scaled(int value, double factor) {
    return static_cast<int>(std::lround(value * factor));
}
} // namespace

void ScaleFormControls(double factorX, double factorY, QWidget* window, bool moveWindow) {
    const double fontFactor = (factorX + factorY) / 2;
    const QList<QWidget*> controls = window->findChildren<QWidget*>();
    // Read every font before changing any: a control that inherits its font would otherwise be scaled twice.
    std::vector<double> fontSizes;
    fontSizes.reserve(static_cast<size_t>(controls.size()));
    for (QWidget* control : controls)
        fontSizes.push_back(control->font().pointSizeF());

    for (qsizetype i = 0; i < controls.size(); ++i) {
        QWidget* control = controls.at(i);
        if (!control->isWindow()) {
            const QRect g = control->geometry();
            const int height = qobject_cast<QComboBox*>(control) ? g.height() : scaled(g.height(), factorY);
            control->setGeometry(scaled(g.x(), factorX), scaled(g.y(), factorY), scaled(g.width(), factorX), height);
        }
        const double size = fontSizes[static_cast<size_t>(i)];
        if (size > 0) { // fonts sized in pixels have no point size to scale
            QFont font = control->font();
            font.setPointSizeF(size * fontFactor);
            control->setFont(font);
        }
    }
    if (moveWindow) {
        const QRect g = window->geometry();
        window->setGeometry(scaled(g.x(), factorX), scaled(g.y(), factorY), scaled(g.width(), factorX),
                            scaled(g.height(), factorY));
    }
}
