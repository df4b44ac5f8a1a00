#include "shell/MDIKavrel.h"

#include "platform/ProductTitle.h"
#include "shell/MainMenu.h"
#include "shell/MainWindowPlacement.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QStackedWidget>
#include <QStatusBar>
#include <algorithm>

namespace {
const QKeySequence kCloseChild(Qt::CTRL | Qt::Key_F4);
// Long enough to read a path, short enough not to be taken for the state of the window now active.
constexpr int kStatusMilliseconds = 8000;
} // namespace

MDIKavrel::MDIKavrel(AppContext& ctx, QWidget* parent)
    : QMainWindow(parent), m_ctx(ctx), m_menus(new QStackedWidget(this)), m_mainMenu(new QMenuBar(m_menus)),
      m_previousHost(ctx.windows), m_area(new QMdiArea(this)) {
    setObjectName(QStringLiteral("MDIKavrel"));
    setWindowTitle(kProductTitle + QLatin1Char(' '));
    m_area->setObjectName(QStringLiteral("mdiArea"));
    m_area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_area);
    if (m_previousHost)
        setWindowLimit(m_previousHost->windowLimit());
    m_ctx.windows = this;
    // The bar area holds the main menu and, while a detail window is active, that window's own copy instead.
    m_mainMenu->setObjectName(QStringLiteral("MainMenu"));
    buildMainMenu(m_mainMenu, m_ctx, this, Navigator::Menu::MainWindow);
    m_menus->addWidget(m_mainMenu);
    m_menus->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setMenuWidget(m_menus);
    connect(m_area, &QMdiArea::subWindowActivated, this, &MDIKavrel::showMenuBarOf);
    // The frame owns Ctrl+F4, so that it closes the active child whichever menu bar shows and wherever the focus
    // is inside the child; the children's own system menus only show it.
    auto* closeChild = new QAction(QStringLiteral("Close Window"), this);
    closeChild->setObjectName(QStringLiteral("closeActiveChild"));
    closeChild->setShortcut(kCloseChild);
    closeChild->setShortcutContext(Qt::WindowShortcut);
    connect(closeChild, &QAction::triggered, m_area, &QMdiArea::closeActiveSubWindow);
    addAction(closeChild);
    statusBar()->setObjectName(QStringLiteral("statusBar"));
    if (m_ctx.registry) {
        restoreMainWindowPlacement(this, *m_ctx.registry);
        // File > Exit ends the program without closing this window first; its place is kept all the same.
        connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
            if (isVisible() && m_ctx.registry)
                saveMainWindowPlacement(this, *m_ctx.registry);
        });
    }
}

MDIKavrel::~MDIKavrel() {
    // The area outlives this part of the object while the base class deletes the children; its last signals must
    // not reach a main window that is already half gone.
    disconnect(m_area, nullptr, this, nullptr);
    if (m_ctx.windows == this)
        m_ctx.windows = m_previousHost;
}

void MDIKavrel::load() {
    openActiveLocations(m_ctx, this);
}

void MDIKavrel::showMenuBarOf(QMdiSubWindow* sub) {
    QMenuBar* bar = m_mainMenu;
    if (sub)
        if (auto* owner = dynamic_cast<HasOwnMenuBar*>(sub->widget()); owner && owner->ownMenuBar())
            bar = owner->ownMenuBar();
    if (m_menus->indexOf(bar) < 0)
        m_menus->addWidget(bar);
    m_menus->setCurrentWidget(bar);
}

int MDIKavrel::openWindowCount() const {
    return static_cast<int>(openWindows().size());
}

namespace {

// Ties a child window to its frame: once the window has agreed to close, by whatever route (its own button, the
// close box, Ctrl+F4), the frame closes too, so the area never keeps an empty frame. It also remembers the frame that
// was active when this one opened, which becomes active again when this one closes.
class FrameWatch : public QObject {
public:
    FrameWatch(QWidget* window, QMdiSubWindow* frame, QMdiSubWindow* openedFrom)
        : QObject(frame), opener(openedFrom), m_frame(frame) {
        window->installEventFilter(this);
        frame->installEventFilter(this);
    }

    static FrameWatch* of(QMdiSubWindow* frame) {
        for (QObject* child : frame->children())
            if (auto* watch = dynamic_cast<FrameWatch*>(child))
                return watch;
        return nullptr;
    }

    QPointer<QMdiSubWindow> opener;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Close || m_asking || !m_frame)
            return false;
        QMdiArea* area = m_frame->mdiArea();
        const bool wasActive = area && area->currentSubWindow() == m_frame;
        // Let the window (or the frame, which asks the window) answer first; its own closeEvent may refuse.
        m_asking = true;
        QCoreApplication::sendEvent(watched, event);
        m_asking = false;
        if (!event->isAccepted() || !m_frame)
            return true;
        if (watched != m_frame)
            m_frame->close(); // the frame's close comes back here
        else if (area)
            returnToOpener(area, wasActive);
        return true;
    }

private:
    // Before the frame hides, so that the area does not hand the focus to its oldest window.
    void returnToOpener(QMdiArea* area, bool wasActive) {
        for (QMdiSubWindow* sub : area->subWindowList())
            if (FrameWatch* watch = of(sub); watch && watch->opener == m_frame)
                watch->opener = opener; // windows this one opened return to its opener
        if (wasActive && opener && opener != m_frame && opener->isVisible())
            area->setActiveSubWindow(opener);
    }

    QPointer<QMdiSubWindow> m_frame;
    bool m_asking = false;
};

// Moves a frame so that it lies inside the area's viewport; one larger than the viewport keeps its top left
// corner visible.
void keepInside(QMdiSubWindow* sub, const QRect& viewport) {
    QRect frame = sub->geometry();
    frame.moveLeft(std::max(0, std::min(frame.left(), viewport.width() - frame.width())));
    frame.moveTop(std::max(0, std::min(frame.top(), viewport.height() - frame.height())));
    sub->move(frame.topLeft());
}

} // namespace

void MDIKavrel::show(QWidget* window) {
    window->setAttribute(Qt::WA_DeleteOnClose);
    // Each window sizes itself before it is shown; the frame is fitted around that size.
    const QSize wanted = window->size();
    const bool fixedSize = window->minimumSize() == window->maximumSize();
    QMdiSubWindow* opener = m_area->currentSubWindow(); // also while a message box has the focus
    QMdiSubWindow* sub = m_area->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    new FrameWatch(window, sub, opener);
    if (QMenu* menu = sub->systemMenu())
        for (QAction* action : menu->actions())
            if (action->shortcuts().contains(kCloseChild)) {
                action->setShortcuts({});
                action->setText(action->text() + QLatin1Char('\t') + kCloseChild.toString(QKeySequence::NativeText));
            }
    // A child that fixes its size keeps the frame from being dragged larger or smaller.
    if (fixedSize)
        sub->setWindowFlags(sub->windowFlags() & ~Qt::WindowMaximizeButtonHint);
    window->show();
    sub->show();
    // The title bar and border are the sub-window's own margins.
    QMargins frame = sub->contentsMargins();
    if (sub->layout())
        frame += sub->layout()->contentsMargins();
    const QSize outer = wanted.grownBy(frame);
    if (fixedSize)
        sub->setFixedSize(outer);
    else
        sub->resize(outer);
    const QRect viewport = m_area->viewport()->rect();
    if (!sub->isMaximized()) {
        // Each new window steps down and right from the last new one by a title bar, so that windows opened together
        // all show their captions; one that would leave the area starts again at the top left.
        QPoint at(0, 0);
        if (m_lastOpened && m_lastOpened->isVisible() && !m_lastOpened->isMaximized() && !m_lastOpened->isMinimized())
            at = m_lastOpened->pos() + QPoint(frame.top(), frame.top());
        if (at.x() + sub->width() > viewport.width() || at.y() + sub->height() > viewport.height())
            at = QPoint(0, 0);
        sub->move(at);
        m_lastOpened = sub;
    }
    keepInside(sub, viewport);
}

QList<QWidget*> MDIKavrel::openWindows() const {
    QList<QWidget*> windows;
    for (QMdiSubWindow* sub : m_area->subWindowList())
        if (QWidget* window = sub->widget())
            windows << window;
    return windows;
}

QWidget* MDIKavrel::activeWindow() const {
    QMdiSubWindow* sub = m_area->activeSubWindow();
    return sub ? sub->widget() : nullptr;
}

void MDIKavrel::activate(QWidget* window) {
    for (QMdiSubWindow* sub : m_area->subWindowList())
        if (sub->widget() == window) {
            if (sub->isMinimized())
                sub->showNormal();
            m_area->setActiveSubWindow(sub);
        }
}

void MDIKavrel::showStatus(const QString& text) {
    statusBar()->showMessage(text, kStatusMilliseconds);
}

void MDIKavrel::cascade() {
    m_area->cascadeSubWindows();
}

void MDIKavrel::tile() {
    m_area->tileSubWindows();
}

void MDIKavrel::closeAll() {
    m_area->closeAllSubWindows();
}

void MDIKavrel::closeEvent(QCloseEvent* event) {
    closeAll();
    if (!m_area->subWindowList().isEmpty()) {
        event->ignore(); // a child refused to close
        return;
    }
    event->accept();
    if (m_ctx.registry)
        saveMainWindowPlacement(this, *m_ctx.registry);
    if (m_ctx.endApplication)
        m_ctx.endApplication();
}
