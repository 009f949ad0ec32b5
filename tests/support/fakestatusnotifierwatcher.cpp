// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakestatusnotifierwatcher.h"

#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QTest>

#include <utility>

namespace Vantrell::Test {

namespace {
const QString kItemInterface = QStringLiteral("org.kde.StatusNotifierItem");
const QString kItemPath = QStringLiteral("/StatusNotifierItem");
const QString kMenuInterface = QStringLiteral("com.canonical.dbusmenu");

// The signals recorded: the item's and its menu's.
struct SignalHook
{
    const QString &path;
    const QString &interface;
    const char *member;
};
const QString kMenuPath = QStringLiteral("/MenuBar");
const SignalHook kSignalHooks[] = {
    {kItemPath, kItemInterface, "NewIcon"},
    {kItemPath, kItemInterface, "NewToolTip"},
    {kItemPath, kItemInterface, "NewTitle"},
    {kItemPath, kItemInterface, "NewStatus"},
    {kItemPath, kItemInterface, "XAyatanaNewLabel"},
    {kMenuPath, kMenuInterface, "LayoutUpdated"},
    {kMenuPath, kMenuInterface, "ItemsPropertiesUpdated"},
};

// The value inside a reply's variant: for structures still a QDBusArgument.
QVariant unwrap(const QVariant &value)
{
    if (value.canConvert<QDBusVariant>())
        return value.value<QDBusVariant>().variant();
    return value;
}

QImage decodeImage(const QDBusArgument &argument)
{
    int width = 0;
    int height = 0;
    QByteArray data;
    argument.beginStructure();
    argument >> width >> height >> data;
    argument.endStructure();
    if (width <= 0 || height <= 0 || data.size() != qsizetype(width) * height * 4)
        return {};
    QImage image(width, height, QImage::Format_ARGB32);
    // Network byte order: A, R, G, B.
    const auto *bytes = reinterpret_cast<const uchar *>(data.constData());
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x, bytes += 4)
            image.setPixel(x, y, qRgba(bytes[1], bytes[2], bytes[3], bytes[0]));
    }
    return image;
}

QList<QImage> decodeImages(const QDBusArgument &argument)
{
    QList<QImage> images;
    argument.beginArray();
    while (!argument.atEnd())
        images.append(decodeImage(argument));
    argument.endArray();
    return images;
}
} // namespace

class FakeWatcherAdaptor final : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ registeredItems)
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)

public:
    FakeWatcherAdaptor(QObject *exported, FakeStatusNotifierWatcher *watcher)
        : QDBusAbstractAdaptor(exported)
        , m_watcher(watcher)
    { }

    QStringList registeredItems() const { return m_watcher->m_registeredNow; }
    bool isHostRegistered() const { return true; }
    int protocolVersion() const { return 0; }

public Q_SLOTS:
    void RegisterStatusNotifierItem(const QString &service, const QDBusMessage &message)
    {
        m_watcher->registerItem(service, message.service());
        Q_EMIT StatusNotifierItemRegistered(service);
    }
    void RegisterStatusNotifierHost(const QString &service) { Q_UNUSED(service); }

Q_SIGNALS:
    void StatusNotifierItemRegistered(const QString &service);
    void StatusNotifierItemUnregistered(const QString &service);
    void StatusNotifierHostRegistered();

private:
    FakeStatusNotifierWatcher *m_watcher;
};

const FakeStatusNotifierWatcher::MenuNode *FakeStatusNotifierWatcher::MenuNode::find(int wanted) const
{
    if (id == wanted)
        return this;
    for (const MenuNode &child : children) {
        if (const MenuNode *found = child.find(wanted))
            return found;
    }
    return nullptr;
}

FakeStatusNotifierWatcher::FakeStatusNotifierWatcher(QObject *parent)
    : QObject(parent)
{ }

FakeStatusNotifierWatcher::~FakeStatusNotifierWatcher()
{
    stop();
}

bool FakeStatusNotifierWatcher::start()
{
    stop();
    static int counter = 0;
    m_connectionName = QStringLiteral("fake-status-notifier-watcher-%1").arg(++counter);
    m_connection = QDBusConnection::connectToBus(QDBusConnection::SessionBus, m_connectionName);
    if (!m_connection->isConnected()) {
        stop();
        return false;
    }
    m_exported = new QObject(this);
    m_adaptor = new FakeWatcherAdaptor(m_exported, this);
    if (!m_connection->registerObject(
            QStringLiteral("/StatusNotifierWatcher"), m_exported, QDBusConnection::ExportAdaptors)
        || !m_connection->registerService(QString::fromLatin1(kService))) {
        stop();
        return false;
    }
    for (const SignalHook &hook : kSignalHooks)
        m_connection->connect(
            QString(), hook.path, hook.interface, QLatin1String(hook.member), this, SLOT(recordSignal(QDBusMessage)));
    m_signals.clear();
    return true;
}

void FakeStatusNotifierWatcher::stop()
{
    if (!m_connection)
        return;
    // Undone here, in this thread, before the connection closes: its own
    // thread would otherwise unhook the exported object while it is deleted.
    m_connection->unregisterObject(QStringLiteral("/StatusNotifierWatcher"));
    for (const SignalHook &hook : kSignalHooks)
        m_connection->disconnect(
            QString(), hook.path, hook.interface, QLatin1String(hook.member), this, SLOT(recordSignal(QDBusMessage)));
    m_connection.reset();
    QDBusConnection::disconnectFromBus(m_connectionName);
    delete m_exported;
    m_exported = nullptr;
    m_adaptor = nullptr;
    m_registeredNow.clear();
    // The bus releases the name on its own time; a restart must not find it taken.
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        const bool released = QTest::qWaitFor(
            [&] { return !bus.interface()->isServiceRegistered(QString::fromLatin1(kService)).value(); }, 5000);
        if (!released)
            qWarning("The fake watcher's bus name was not released");
    }
}

QDBusConnection FakeStatusNotifierWatcher::connection() const
{
    return m_connection.value_or(QDBusConnection(QString()));
}

void FakeStatusNotifierWatcher::registerItem(const QString &service, const QString &sender)
{
    // An item may name itself by object path only; then the sender is the service.
    const QString name = service.startsWith(QLatin1Char('/')) ? sender : service;
    m_registrations.append(name);
    if (!std::exchange(m_ignoreNextRegistration, false))
        m_registeredNow.append(name);
    Q_EMIT itemRegistered(name);
}

void FakeStatusNotifierWatcher::dropItem(const QString &name)
{
    m_registeredNow.removeAll(name);
    if (m_adaptor)
        Q_EMIT m_adaptor->StatusNotifierItemUnregistered(name);
}

QDBusMessage FakeStatusNotifierWatcher::call(const QString &service, const QString &path, const QString &interface,
    const QString &method, const QVariantList &arguments)
{
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    QDBusPendingCall pending = connection().asyncCall(message, 10000);
    if (!QTest::qWaitFor([&] { return pending.isFinished(); }, 12000))
        return QDBusMessage::createError(QStringLiteral("org.vantrell.Test.Timeout"), QStringLiteral("No reply"));
    return pending.reply();
}

QDBusMessage FakeStatusNotifierWatcher::callItem(const QString &method, const QVariantList &arguments)
{
    return call(item(), kItemPath, kItemInterface, method, arguments);
}

QVariant FakeStatusNotifierWatcher::itemProperty(const QString &name)
{
    const QDBusMessage reply = call(item(), kItemPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"), {kItemInterface, name});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return unwrap(reply.arguments().constFirst());
}

QList<QImage> FakeStatusNotifierWatcher::itemIconPixmaps()
{
    return decodePixmaps(itemProperty(QStringLiteral("IconPixmap")));
}

FakeStatusNotifierWatcher::ToolTip FakeStatusNotifierWatcher::itemToolTip()
{
    return decodeToolTip(itemProperty(QStringLiteral("ToolTip")));
}

QDBusMessage FakeStatusNotifierWatcher::callMenu(const QString &method, const QVariantList &arguments)
{
    const QString path = itemProperty(QStringLiteral("Menu")).value<QDBusObjectPath>().path();
    return call(item(), path.isEmpty() ? QStringLiteral("/") : path, kMenuInterface, method, arguments);
}

std::optional<FakeStatusNotifierWatcher::MenuNode> FakeStatusNotifierWatcher::menuLayout(
    int parentId, int depth, const QStringList &properties, uint *revision)
{
    const QDBusMessage reply = callMenu(QStringLiteral("GetLayout"), {parentId, depth, properties});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 2
        || reply.signature() != QLatin1String("u(ia{sv}av)"))
        return std::nullopt;
    if (revision)
        *revision = reply.arguments().at(0).toUInt();
    return decodeMenuNode(reply.arguments().at(1));
}

QDBusMessage FakeStatusNotifierWatcher::sendMenuEvent(int id, const QString &eventId)
{
    return callMenu(QStringLiteral("Event"), {id, eventId, QVariant::fromValue(QDBusVariant(QString())), uint(0)});
}

QList<QDBusMessage> FakeStatusNotifierWatcher::signalsNamed(const QString &member) const
{
    QList<QDBusMessage> result;
    for (const QDBusMessage &message : m_signals) {
        if (message.member() == member)
            result.append(message);
    }
    return result;
}

void FakeStatusNotifierWatcher::recordSignal(const QDBusMessage &message)
{
    m_signals.append(message);
}

QList<QImage> FakeStatusNotifierWatcher::decodePixmaps(const QVariant &value)
{
    const QVariant inner = unwrap(value);
    if (!inner.canConvert<QDBusArgument>())
        return {};
    return decodeImages(inner.value<QDBusArgument>());
}

FakeStatusNotifierWatcher::ToolTip FakeStatusNotifierWatcher::decodeToolTip(const QVariant &value)
{
    const QVariant inner = unwrap(value);
    if (!inner.canConvert<QDBusArgument>())
        return {};
    const QDBusArgument argument = inner.value<QDBusArgument>();
    ToolTip toolTip;
    argument.beginStructure();
    argument >> toolTip.iconName;
    toolTip.images = decodeImages(argument);
    argument >> toolTip.title >> toolTip.text;
    argument.endStructure();
    return toolTip;
}

FakeStatusNotifierWatcher::MenuNode FakeStatusNotifierWatcher::decodeMenuNode(const QVariant &value)
{
    const QVariant inner = unwrap(value);
    if (!inner.canConvert<QDBusArgument>())
        return {};
    const QDBusArgument argument = inner.value<QDBusArgument>();
    MenuNode node;
    argument.beginStructure();
    argument >> node.id;
    argument.beginMap();
    while (!argument.atEnd()) {
        QString key;
        QDBusVariant property;
        argument.beginMapEntry();
        argument >> key >> property;
        argument.endMapEntry();
        node.properties.insert(key, property.variant());
    }
    argument.endMap();
    argument.beginArray();
    while (!argument.atEnd()) {
        QDBusVariant child;
        argument >> child;
        node.children.append(decodeMenuNode(child.variant()));
    }
    argument.endArray();
    argument.endStructure();
    return node;
}

} // namespace Vantrell::Test

#include "fakestatusnotifierwatcher.moc"
