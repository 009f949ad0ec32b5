// SPDX-License-Identifier: GPL-3.0-or-later
// vantrell-startup-probe --program PATH [--settle SECONDS] [-- ARGS...]
//
// Stands in for the panel: owns org.kde.StatusNotifierWatcher on the session
// bus, starts the program and prints, as key=value lines on stdout, the
// milliseconds from exec to RegisterStatusNotifierItem and to the first label
// or tooltip title with a digit in it (the first price shown). After
// --settle seconds from the start it prints the program's memory from
// /proc/<pid>/smaps_rollup, then ends it.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTimer>

#include <cstdio>
#include <optional>

namespace {

const QString kItemPath = QStringLiteral("/StatusNotifierItem");
const QString kItemInterface = QStringLiteral("org.kde.StatusNotifierItem");

bool hasDigit(const QString &text)
{
    for (const QChar c : text) {
        if (c.isDigit())
            return true;
    }
    return false;
}

void print(const char *key, const QString &value)
{
    std::printf("%s=%s\n", key, qPrintable(value));
    std::fflush(stdout);
}

// "Pss:", "Rss:" … of /proc/<pid>/smaps_rollup, in KiB.
std::optional<qint64> smapsRollup(qint64 pid, const QByteArray &field)
{
    QFile file(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(field.size()).trimmed().split(' ').constFirst().toLongLong();
    }
    return std::nullopt;
}

class Probe;

class WatcherAdaptor final : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)

public:
    WatcherAdaptor(QObject *parent, std::function<void(const QString &)> onRegister)
        : QDBusAbstractAdaptor(parent)
        , m_onRegister(std::move(onRegister))
    { }

    QStringList items() const { return m_items; }
    bool hostRegistered() const { return true; }
    int protocolVersion() const { return 0; }

public Q_SLOTS:
    void RegisterStatusNotifierItem(const QString &service, const QDBusMessage &message)
    {
        const QString name = service.startsWith(QLatin1Char('/')) ? message.service() : service;
        m_items.append(name);
        m_onRegister(name);
    }
    void RegisterStatusNotifierHost(const QString &) { }

Q_SIGNALS:
    void StatusNotifierItemRegistered(const QString &service);
    void StatusNotifierItemUnregistered(const QString &service);
    void StatusNotifierHostRegistered();

private:
    std::function<void(const QString &)> m_onRegister;
    QStringList m_items;
};

class Probe final : public QObject
{
    Q_OBJECT

public:
    Probe(QString program, QStringList arguments, int settleSeconds)
        : m_program(std::move(program))
        , m_arguments(std::move(arguments))
        , m_settleSeconds(settleSeconds)
    { }

    bool start()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        new WatcherAdaptor(this, [this](const QString &service) { itemRegistered(service); });
        if (!bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), this)
            || !bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"))) {
            std::fprintf(stderr, "vantrell-startup-probe: cannot own org.kde.StatusNotifierWatcher\n");
            return false;
        }
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.setStandardOutputFile(QProcess::nullDevice());
        connect(&m_process, &QProcess::finished, this, [this](int code) {
            if (!m_ending) {
                std::fprintf(stderr, "vantrell-startup-probe: the program ended early (%d)\n", code);
                QCoreApplication::exit(1);
            }
        });
        m_clock.start();
        m_process.start(m_program, m_arguments);
        if (!m_process.waitForStarted(10000)) {
            std::fprintf(stderr, "vantrell-startup-probe: cannot start %s\n", qPrintable(m_program));
            return false;
        }
        print("pid", QString::number(m_process.processId()));
        QTimer::singleShot(m_settleSeconds * 1000, this, &Probe::finish);
        return true;
    }

private:
    void itemRegistered(const QString &service)
    {
        if (!m_item.isEmpty())
            return;
        m_item = service;
        print("registered_ms", QString::number(m_clock.nsecsElapsed() / 1e6, 'f', 1));
        QDBusConnection::sessionBus().connect(m_item, kItemPath, kItemInterface, QStringLiteral("XAyatanaNewLabel"),
            this, SLOT(labelChanged(QString, QString)));
        // Hosts that show no label read the tooltip instead; poll both as a panel refreshes.
        connect(&m_poll, &QTimer::timeout, this, &Probe::poll);
        m_poll.start(10);
    }

    void poll()
    {
        if (m_priceShown || m_pollPending)
            return;
        m_pollPending = true;
        QDBusMessage get = QDBusMessage::createMethodCall(
            m_item, kItemPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("GetAll"));
        get << kItemInterface;
        auto *watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(get), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher] {
            watcher->deleteLater();
            m_pollPending = false;
            const QDBusMessage reply = watcher->reply();
            if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
                return;
            const QVariantMap properties = qdbus_cast<QVariantMap>(reply.arguments().constFirst());
            const QString label = properties.value(QStringLiteral("XAyatanaLabel")).toString();
            if (hasDigit(label)) {
                priceShown(label, QStringLiteral("label"));
                return;
            }
            // ToolTip is (sa(iiay)ss): icon name, images, title, text.
            const QDBusArgument toolTip = properties.value(QStringLiteral("ToolTip")).value<QDBusArgument>();
            QString iconName, title, text;
            toolTip.beginStructure();
            toolTip >> iconName;
            toolTip.beginArray();
            while (!toolTip.atEnd()) {
                int width = 0, height = 0;
                QByteArray pixels;
                toolTip.beginStructure();
                toolTip >> width >> height >> pixels;
                toolTip.endStructure();
            }
            toolTip.endArray();
            toolTip >> title >> text;
            toolTip.endStructure();
            if (hasDigit(title))
                priceShown(title, QStringLiteral("tooltip"));
        });
    }

    void priceShown(const QString &text, const QString &where)
    {
        if (m_priceShown)
            return;
        m_priceShown = true;
        m_poll.stop();
        print("first_price_ms", QString::number(m_clock.nsecsElapsed() / 1e6, 'f', 1));
        print("first_price_text", QStringLiteral("%1 (%2)").arg(text.trimmed(), where));
    }

    void finish()
    {
        const qint64 pid = m_process.processId();
        if (const auto pss = smapsRollup(pid, "Pss:"))
            print("pss_kib", QString::number(*pss));
        if (const auto rss = smapsRollup(pid, "Rss:"))
            print("rss_kib", QString::number(*rss));
        print("elapsed_s", QString::number(m_clock.elapsed() / 1000.0, 'f', 1));
        m_ending = true;
        m_process.terminate();
        if (!m_process.waitForFinished(10000))
            m_process.kill();
        QCoreApplication::exit(m_item.isEmpty() || !m_priceShown ? 1 : 0);
    }

private Q_SLOTS:
    void labelChanged(const QString &label, const QString &)
    {
        if (hasDigit(label))
            priceShown(label, QStringLiteral("label"));
    }

private:
    QString m_program;
    QStringList m_arguments;
    int m_settleSeconds;
    QProcess m_process;
    QElapsedTimer m_clock;
    QTimer m_poll;
    QString m_item;
    bool m_pollPending = false;
    bool m_priceShown = false;
    bool m_ending = false;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Measures how fast vantrell reaches the panel."));
    parser.addHelpOption();
    const QCommandLineOption programOption(
        QStringLiteral("program"), QStringLiteral("The vantrell binary."), QStringLiteral("path"));
    const QCommandLineOption settleOption(QStringLiteral("settle"),
        QStringLiteral("Seconds from the start to the memory reading."), QStringLiteral("seconds"),
        QStringLiteral("5"));
    parser.addOption(programOption);
    parser.addOption(settleOption);
    parser.addPositionalArgument(QStringLiteral("args"), QStringLiteral("Arguments for the program."));
    parser.process(app);
    if (!parser.isSet(programOption))
        parser.showHelp(2);

    Probe probe(parser.value(programOption), parser.positionalArguments(), parser.value(settleOption).toInt());
    if (!probe.start())
        return 1;
    return QCoreApplication::exec();
}

#include "startupprobe.moc"
