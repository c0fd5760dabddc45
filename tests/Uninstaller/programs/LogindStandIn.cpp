// Stands in for systemd-logind in the uninstaller's tests:
//     cvk_logind_standin <bus address> <record file> accept|refuse
// Owns org.freedesktop.login1 on the bus and serves the manager's Reboot,
// PowerOff, Suspend and GetSession and one session's Terminate. Each call
// appends a line to the record: the method with its argument, then
// "interactive" when the caller allowed interactive authorisation, e.g.
// "Reboot(true) interactive". With refuse every call is answered with the
// access-denied error logind gives when polkit says no. Prints "ready" once
// it owns the name.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QFile>
#include <QObject>

#include <cstdio>

namespace {

const QString kSessionPath = QStringLiteral("/org/freedesktop/login1/session/_31");

QString Flag(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

}  // namespace

// What both objects share: the record and the refusal. The D-Bus context is
// found through the meta-object, so the class that carries it is one.
class Recorder : public QObject, protected QDBusContext {
    Q_OBJECT
public:
    Recorder(QString recordPath, bool refuse) : mRecordPath(std::move(recordPath)), mblnRefuse(refuse) {}

protected:
    // Records the call and, when refusing, answers it with the error. The
    // record is complete before any answer leaves.
    void Take(const QString& call)
    {
        bool interactive = message().isInteractiveAuthorizationAllowed();
        Append(call + (interactive ? QStringLiteral(" interactive\n") : QStringLiteral("\n")));
        if (mblnRefuse)
            sendErrorReply(QStringLiteral("org.freedesktop.DBus.Error.AccessDenied"),
                           QStringLiteral("Interactive authentication required."));
    }

private:
    void Append(const QString& line)
    {
        QFile record(mRecordPath);
        if (record.open(QIODevice::Append | QIODevice::Text))
            record.write(line.toUtf8());
    }

    QString mRecordPath;
    bool mblnRefuse;
};

class Manager : public Recorder {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public:
    using Recorder::Recorder;

public slots:
    void Reboot(bool interactive) { Take(QStringLiteral("Reboot(%1)").arg(Flag(interactive))); }
    void PowerOff(bool interactive) { Take(QStringLiteral("PowerOff(%1)").arg(Flag(interactive))); }
    void Suspend(bool interactive) { Take(QStringLiteral("Suspend(%1)").arg(Flag(interactive))); }
    QDBusObjectPath GetSession(const QString& id)
    {
        Take(QStringLiteral("GetSession(%1)").arg(id));
        return QDBusObjectPath(kSessionPath);
    }
};

class Session : public Recorder {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Session")
public:
    using Recorder::Recorder;

public slots:
    void Terminate() { Take(QStringLiteral("Terminate %1").arg(kSessionPath)); }
};

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <bus address> <record file> accept|refuse\n", argv[0]);
        return 2;
    }
    QDBusConnection bus = QDBusConnection::connectToBus(QString::fromLocal8Bit(argv[1]), QStringLiteral("standin"));
    bool refuse = qstrcmp(argv[3], "refuse") == 0;
    QString record = QString::fromLocal8Bit(argv[2]);
    Manager manager(record, refuse);
    Session session(record, refuse);
    if (!bus.registerObject(QStringLiteral("/org/freedesktop/login1"), &manager, QDBusConnection::ExportAllSlots)
        || !bus.registerObject(kSessionPath, &session, QDBusConnection::ExportAllSlots)
        || !bus.registerService(QStringLiteral("org.freedesktop.login1"))) {
        std::fprintf(stderr, "cannot serve on the bus: %s\n", qPrintable(bus.lastError().message()));
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return QCoreApplication::exec();
}

#include "LogindStandIn.moc"
