#include "shell/LayoutScaling.h"
#include "shell/frmSplash.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QTest>

namespace {

struct Snapshot {
    QRect geometry;
    double pointSize;
};

QMap<QWidget*, Snapshot> snapshot(QWidget& window) {
    QMap<QWidget*, Snapshot> all;
    for (QWidget* w : window.findChildren<QWidget*>())
        if (!w->isWindow()) // a combo box's pop-up is a window of its own, not a control
            all.insert(w, {w->geometry(), w->font().pointSizeF()});
    return all;
}

QString describe(QWidget* w) {
    return w->objectName() + QLatin1Char(' ') + w->metaObject()->className();
}

// Checks every control against its snapshot scaled by fx and fy; combo boxes keep their height.
void verifyScaled(const QMap<QWidget*, Snapshot>& before, double fx, double fy) {
    QVERIFY(!before.isEmpty());
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        QWidget* w = it.key();
        const QRect& g = it->geometry;
        const bool combo = qobject_cast<QComboBox*>(w) != nullptr;
        const QRect expected(qRound(g.x() * fx), qRound(g.y() * fy), qRound(g.width() * fx),
                             combo ? g.height() : qRound(g.height() * fy));
        QVERIFY2(w->geometry() == expected, qPrintable(describe(w)));
        QVERIFY2(qAbs(w->font().pointSizeF() - it->pointSize * (fx + fy) / 2) < 0.01, qPrintable(describe(w)));
    }
}

// A window of absolutely placed controls, one nested in a frame, with fonts set and inherited.
struct Fixture {
    QWidget window;
    Fixture() {
        window.setGeometry(40, 30, 400, 200);
        auto* frame = new QFrame(&window);
        frame->setObjectName("frame");
        frame->setGeometry(10, 10, 380, 180);
        auto* label = new QLabel("Label", frame);
        label->setObjectName("label");
        label->setGeometry(20, 20, 100, 24);
        QFont big = label->font();
        big.setPointSize(14);
        label->setFont(big);
        auto* inherited = new QLabel("Inherited", frame);
        inherited->setObjectName("inherited");
        inherited->setGeometry(20, 50, 100, 24);
        auto* edit = new QLineEdit(&window);
        edit->setObjectName("edit");
        edit->setGeometry(130, 60, 120, 26);
        auto* combo = new QComboBox(&window);
        combo->setObjectName("combo");
        combo->setGeometry(130, 100, 120, 28);
    }
};

} // namespace

class tst_Splash : public QObject {
    Q_OBJECT
private slots:
    void scaleFormControls_data();
    void scaleFormControls();
    void firstResizeChangesNothing();
    void laterResizesScaleControlsNotWindow_data();
    void laterResizesScaleControlsNotWindow();
    void keyOrFrameClickCloses_data();
    void keyOrFrameClickCloses();
};

void tst_Splash::scaleFormControls_data() {
    QTest::addColumn<double>("fx");
    QTest::addColumn<double>("fy");
    QTest::addColumn<bool>("moveWindow");
    QTest::newRow("double width") << 2.0 << 1.0 << false;
    QTest::newRow("double height") << 1.0 << 2.0 << false;
    QTest::newRow("half both") << 0.5 << 0.5 << false;
    QTest::newRow("unchanged") << 1.0 << 1.0 << false;
    QTest::newRow("grow, window too") << 1.5 << 1.25 << true;
}

void tst_Splash::scaleFormControls() {
    QFETCH(double, fx);
    QFETCH(double, fy);
    QFETCH(bool, moveWindow);
    Fixture f;
    const auto before = snapshot(f.window);
    const QRect windowBefore = f.window.geometry();
    ScaleFormControls(fx, fy, &f.window, moveWindow);
    verifyScaled(before, fx, fy);
    const QRect windowAfter = moveWindow ? QRect(qRound(windowBefore.x() * fx), qRound(windowBefore.y() * fy),
                                                 qRound(windowBefore.width() * fx), qRound(windowBefore.height() * fy))
                                         : windowBefore;
    QCOMPARE(f.window.geometry(), windowAfter);
}

void tst_Splash::firstResizeChangesNothing() {
    frmSplash splash;
    const auto before = snapshot(splash);
    // The size differs from the recorded one by the time the first resize arrives, and still nothing moves.
    splash.resize(splash.width() * 2, splash.height());
    QVERIFY(!splash.resizeArmed());
    splash.show();
    QVERIFY(splash.resizeArmed());
    verifyScaled(before, 1.0, 1.0);
}

void tst_Splash::laterResizesScaleControlsNotWindow_data() {
    QTest::addColumn<double>("fx");
    QTest::addColumn<double>("fy");
    QTest::newRow("twice the width") << 2.0 << 1.0;
    QTest::newRow("twice both") << 2.0 << 2.0;
}

void tst_Splash::laterResizesScaleControlsNotWindow() {
    QFETCH(double, fx);
    QFETCH(double, fy);
    frmSplash splash;
    auto* combo = new QComboBox(splash.findChild<QFrame*>("Frame1"));
    combo->setObjectName("combo");
    combo->setGeometry(136, 130, 120, 26);
    splash.show();
    QVERIFY(splash.resizeArmed());
    const auto before = snapshot(splash);
    const QSize size(qRound(splash.width() * fx), qRound(splash.height() * fy));
    splash.resize(size);
    verifyScaled(before, fx, fy);
    // Only the controls scale: the window keeps the size it was given.
    QCOMPARE(splash.size(), size);

    // The new size is recorded: going back undoes the scaling.
    const auto scaled = snapshot(splash);
    splash.resize(qRound(size.width() / fx), qRound(size.height() / fy));
    verifyScaled(scaled, 1 / fx, 1 / fy);
}

void tst_Splash::keyOrFrameClickCloses_data() {
    QTest::addColumn<bool>("key");
    QTest::newRow("key press") << true;
    QTest::newRow("click on the frame") << false;
}

void tst_Splash::keyOrFrameClickCloses() {
    QFETCH(bool, key);
    frmSplash splash;
    splash.show();
    QVERIFY(QTest::qWaitForWindowExposed(&splash));
    if (key)
        QTest::keyClick(&splash, Qt::Key_A);
    else
        QTest::mouseClick(splash.findChild<QFrame*>("Frame1"), Qt::LeftButton);
    QVERIFY(!splash.isVisible());
}

QTEST_MAIN(tst_Splash)
#include "tst_splash.moc"
