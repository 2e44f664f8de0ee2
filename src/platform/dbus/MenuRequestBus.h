#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QString>

// `zuvik --menu` on a desktop without a tray: the running copy serves one method on the session
// bus, next to the single-instance name it already owns, and a second invocation calls it.
namespace menu_request_bus {
inline const QString objectPath = QStringLiteral("/org/orvane/Zuvik/StatusMenu");
inline const QString interfaceName = QStringLiteral("org.orvane.Zuvik.StatusMenu");
}  // namespace menu_request_bus

// The running copy's side: Popup() on the bus becomes popupRequested() on the main thread.
class MenuRequestService : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.orvane.Zuvik.StatusMenu")
public:
    explicit MenuRequestService(QDBusConnection bus = QDBusConnection::sessionBus(), QObject* parent = nullptr);
    ~MenuRequestService() override;

    // Whether the object is on the bus (false without a session bus).
    bool isServing() const { return m_serving; }
    // Where no menu can open at the pointer: every request is answered with why.
    void refuse(const QString& why) { m_refusal = why; }

public Q_SLOTS:
    Q_SCRIPTABLE void Popup();

Q_SIGNALS:
    void popupRequested();

private:
    QDBusConnection m_bus;
    bool m_serving = false;
    QString m_refusal;
};

enum class MenuRequestOutcome {
    shown,  // the running copy opened its menu
    noRunningInstance,  // nobody owns the application's bus name
    noSessionBus,
    refused,  // the running copy cannot open a menu here; the message says why
    failed,  // the call went wrong; the message says how
};

struct MenuRequestResult {
    MenuRequestOutcome outcome;
    QString message;
};

// The second invocation's side: asks the copy owning `busName` to open its menu. Blocks for at
// most `timeoutMs`; it runs in a command-line process that has nothing else to do meanwhile.
MenuRequestResult requestMenuPopup(const QString& busName, QDBusConnection bus = QDBusConnection::sessionBus(),
                                   int timeoutMs = 5000);
