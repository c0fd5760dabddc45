#include "Client/TrayWatch.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>
#include <string>

namespace {

const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString kWatcherInterface = QStringLiteral("org.kde.StatusNotifierWatcher");

}  // namespace

// The watch of the session bus starts at once, so that a watcher or host
// that registers between a first look and WaitForTray is not missed.
TrayWatch::TrayWatch()
{
    mXLook.setInterval(XLookIntervalMs);
    QObject::connect(&mXLook, &QTimer::timeout, this, [this] {
        if (mXTrayPresent())
            mAppeared();
    });
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    mWatcher = std::make_unique<QDBusServiceWatcher>(kWatcherService, bus,
                                                     QDBusServiceWatcher::WatchForRegistration);
    QObject::connect(mWatcher.get(), &QDBusServiceWatcher::serviceRegistered, this, [this] { mHostRegistered(); });
    bus.connect(kWatcherService, kWatcherPath, kWatcherInterface, QStringLiteral("StatusNotifierHostRegistered"),
                this, SLOT(mHostRegistered()));
}

TrayWatch::~TrayWatch() = default;

bool TrayWatch::TrayPresent() const
{
    return mStatusNotifierHostPresent() || mXTrayPresent();
}

void TrayWatch::WaitForTray(std::function<void()> onAppeared)
{
    mOnAppeared = std::move(onAppeared);
    if (TrayPresent()) {
        mAppeared();
        return;
    }
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        mXLook.start();
}

// The watcher came onto the bus, or a host registered with it.
void TrayWatch::mHostRegistered()
{
    if (mStatusNotifierHostPresent())
        mAppeared();
}

// Calls back, once.
void TrayWatch::mAppeared()
{
    if (!mOnAppeared)
        return;
    mXLook.stop();
    std::function<void()> onAppeared = std::move(mOnAppeared);
    mOnAppeared = nullptr;
    onAppeared();
}

// The tray manager's selection has an owner on the application's screen.
bool TrayWatch::mXTrayPresent() const
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr)
        return false;
    xcb_connection_t* connection = x11->connection();
    // The screen of the display Qt opened, as its name says (":0.1").
    int screen = 0;
    char* host = nullptr;
    int display = 0;
    if (xcb_parse_display(nullptr, &host, &display, &screen) == 0)
        screen = 0;
    std::free(host);
    std::string name = "_NET_SYSTEM_TRAY_S" + std::to_string(screen);
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, static_cast<uint16_t>(name.size()), name.c_str()), nullptr);
    if (atom == nullptr)
        return false;
    bool owned = false;
    if (atom->atom != XCB_ATOM_NONE) {
        xcb_get_selection_owner_reply_t* owner =
            xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom), nullptr);
        owned = owner != nullptr && owner->owner != XCB_WINDOW_NONE;
        std::free(owner);
    }
    std::free(atom);
    return owned;
}

// The StatusNotifierItem watcher is on the session bus and says that a host
// is registered (the condition Qt itself checks, once).
bool TrayWatch::mStatusNotifierHostPresent() const
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()->isServiceRegistered(kWatcherService))
        return false;
    QDBusMessage get = QDBusMessage::createMethodCall(kWatcherService, kWatcherPath,
                                                      QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    get << kWatcherInterface << QStringLiteral("IsStatusNotifierHostRegistered");
    QDBusMessage answer = bus.call(get, QDBus::Block, AnswerLimitMs);
    if (answer.type() != QDBusMessage::ReplyMessage || answer.arguments().isEmpty())
        return false;
    return answer.arguments().constFirst().value<QDBusVariant>().variant().toBool();
}
