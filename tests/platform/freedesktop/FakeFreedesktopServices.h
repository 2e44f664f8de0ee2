#pragma once

#include <QDBusConnection>
#include <QSet>
#include <QThread>

#include <memory>

class FakeScreenSaver;
class FakeLogindSession;

// org.freedesktop.ScreenSaver and logind's session object, served on the given buses from a
// thread of their own (so that the code under test may block on them). Controlled from the test.
class FakeFreedesktopServices {
public:
    FakeFreedesktopServices(const QString& systemBusAddress, const QString& sessionBusAddress);
    ~FakeFreedesktopServices();

    bool isServing() const { return m_serving; }
    // Changes the state; announce sends the change signal a real service would send.
    void setLockedHint(bool locked, bool announce);
    void setScreenSaverActive(bool active, bool announce);
    void setInhibitFails(bool fails);
    void setReplyDelayMs(int delayMs);
    // Cookies handed out by Inhibit and not yet given back with UnInhibit.
    QSet<quint32> heldCookies() const;
    int inhibitCalls() const;

private:
    template <typename F> void onServiceThread(F&& f) const;

    QThread m_thread;
    QObject m_onThread;  // lives on m_thread: the target of the calls made there
    FakeScreenSaver* m_screenSaver = nullptr;  // live on m_thread, deleted when it finishes
    FakeLogindSession* m_session = nullptr;
    bool m_serving = false;
};
