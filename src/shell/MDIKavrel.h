#pragma once

#include "platform/AppContext.h"
#include "platform/WindowHost.h"

#include <QMainWindow>
#include <QPointer>

class QMdiArea;
class QMdiSubWindow;
class QMenuBar;
class QStackedWidget;

// The main window: a frame whose menu bar opens every other window as a child inside it.
class MDIKavrel : public QMainWindow, public WindowHost {
    Q_OBJECT
public:
    explicit MDIKavrel(AppContext& ctx, QWidget* parent = nullptr);
    ~MDIKavrel() override;

    // Opens the active location list, as the main window does when it appears.
    void load();

    int openWindowCount() const override;
    void show(QWidget* window) override;
    QList<QWidget*> openWindows() const override;
    QWidget* activeWindow() const override;
    void activate(QWidget* window) override;
    void cascade() override;
    void tile() override;
    void closeAll() override;
    void showStatus(const QString& text) override;
    using QMainWindow::show;

    QMdiArea* mdiArea() const { return m_area; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void showMenuBarOf(QMdiSubWindow* sub);

    AppContext& m_ctx;
    QStackedWidget* m_menus;
    QMenuBar* m_mainMenu;
    WindowHost* m_previousHost;
    QMdiArea* m_area;
    QPointer<QMdiSubWindow> m_lastOpened; // the newest window, from which the next one steps on
};
