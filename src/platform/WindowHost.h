#pragma once

#include <QList>
#include <QString>

class QWidget;

// Where opened windows live: the main window's frame once it exists, the desktop before that.
class WindowHost {
public:
    virtual ~WindowHost() = default;
    virtual int openWindowCount() const = 0;
    // Takes ownership of window and shows it modeless.
    virtual void show(QWidget* window) = 0;
    virtual QList<QWidget*> openWindows() const = 0;
    virtual QWidget* activeWindow() const = 0;
    virtual void activate(QWidget* window) = 0;
    // Lays the open windows out; a host without an area of its own leaves them where they are.
    virtual void cascade() {}
    virtual void tile() {}
    // Closes every open window as its own close would; one that refuses stays open.
    virtual void closeAll();
    // Tells the user in passing that something was done (a save, where a file went), without a box to dismiss.
    virtual void showStatus(const QString& text) = 0;

    // How many windows may be open at once; stands in for the platform refusing to create another.
    int windowLimit() const { return m_windowLimit; }
    void setWindowLimit(int limit) { m_windowLimit = limit; }
    bool hasRoomForAnother() const { return openWindowCount() < m_windowLimit; }

private:
    int m_windowLimit = 256;
};

// Shows windows as top-level windows of their own (login, new user, and tests).
class DesktopWindowHost : public WindowHost {
public:
    int openWindowCount() const override { return static_cast<int>(openWindows().size()); }
    void show(QWidget* window) override;
    QList<QWidget*> openWindows() const override;
    QWidget* activeWindow() const override;
    void activate(QWidget* window) override;
    // The windows shown here (login, a new user) save nothing that needs the word.
    void showStatus(const QString&) override {}
};
