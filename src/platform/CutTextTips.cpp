#include "platform/CutTextTips.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QToolTip>

namespace {

class CutTextTips : public QObject {
public:
    explicit CutTextTips(QAbstractItemView* view) : QObject(view), m_view(view) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ToolTip)
            return QObject::eventFilter(watched, event);
        const auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = m_view->indexAt(help->pos());
        // Where the item has a tool tip of its own, that one shows.
        if (!index.isValid() || index.data(Qt::ToolTipRole).isValid())
            return QObject::eventFilter(watched, event);
        const QString text = index.data(Qt::DisplayRole).toString();
        const QRect shown = m_view->visualRect(index);
        const QRect room = m_view->viewport()->rect();
        if (!text.isEmpty() && (m_view->sizeHintForIndex(index).width() > shown.width() || shown.left() < room.left() ||
                                shown.right() > room.right()))
            QToolTip::showText(help->globalPos(), text, m_view->viewport(), shown);
        else
            QToolTip::hideText();
        return true;
    }

private:
    QAbstractItemView* m_view;
};

} // namespace

void showCutTextInToolTips(QAbstractItemView* view) {
    view->viewport()->installEventFilter(new CutTextTips(view));
}
