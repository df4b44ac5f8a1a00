#include "platform/Dialogs.h"

#include <QApplication>
#include <QFontMetrics>
#include <QInputDialog>
#include <QStyle>
#include <QTest>
#include <QTimer>

class tst_Dialogs : public QObject {
    Q_OBJECT
private slots:
    void nameQuestionShowsItsCaptionWhole();
};

void tst_Dialogs::nameQuestionShowsItsCaptionWhole() {
    DesktopDialogs desktop;
    Dialogs& dialogs = desktop;
    const QString caption = "Kavrel Template save";
    int width = 0;
    int needed = 0;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        width = dialog->width();
        // The caption beside the title bar's three buttons.
        needed = QFontMetrics(QApplication::font("QMdiSubWindowTitleBar")).horizontalAdvance(dialog->windowTitle()) +
                 3 * dialog->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, dialog);
        dialog->reject();
    });
    QCOMPARE(dialogs.input(nullptr, "Enter Template Name", caption), QString());
    QVERIFY2(width > needed, qPrintable(QStringLiteral("%1 <= %2").arg(width).arg(needed)));
}

QTEST_MAIN(tst_Dialogs)
#include "tst_dialogs.moc"
