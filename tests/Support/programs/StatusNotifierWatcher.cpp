// A stand-in of a desktop's StatusNotifierItem watcher on the session bus
// (org.kde.StatusNotifierWatcher, as KDE's and GNOME's AppIndicator panels
// and most others run it): prints "RegisterStatusNotifierItem <service>" for
// each tray item that registers. Its host (the panel that shows the items)
// is registered at once, or with "--host-after-ms N" only N milliseconds
// after the watcher came onto the bus, announced by its signal.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <cstdio>

class StatusNotifierWatcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
public:
    bool hostRegistered() const { return mHost; }
    int protocolVersion() const { return 0; }
    QStringList items() const { return mItems; }
    void registerHost()
    {
        mHost = true;
        emit StatusNotifierHostRegistered();
    }

public Q_SLOTS:
    void RegisterStatusNotifierItem(const QString& service)
    {
        mItems << service;
        std::printf("RegisterStatusNotifierItem %s\n", qPrintable(service));
        std::fflush(stdout);
        emit StatusNotifierItemRegistered(service);
    }
    void RegisterStatusNotifierHost(const QString&) {}

Q_SIGNALS:
    void StatusNotifierItemRegistered(const QString& service);
    void StatusNotifierItemUnregistered(const QString& service);
    void StatusNotifierHostRegistered();

private:
    bool mHost = false;
    QStringList mItems;
};

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    int hostAfterMs = 0;
    if (argc == 3 && QByteArray(argv[1]) == "--host-after-ms")
        hostAfterMs = QByteArray(argv[2]).toInt();
    StatusNotifierWatcher watcher;
    if (hostAfterMs == 0)
        watcher.registerHost();
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties
                                | QDBusConnection::ExportAllSignals)
        || !bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"))) {
        std::fprintf(stderr, "cannot register the watcher: %s\n", qPrintable(bus.lastError().message()));
        return 1;
    }
    if (hostAfterMs > 0)
        QTimer::singleShot(hostAfterMs, &watcher, [&watcher] { watcher.registerHost(); });
    return application.exec();
}

#include "StatusNotifierWatcher.moc"
