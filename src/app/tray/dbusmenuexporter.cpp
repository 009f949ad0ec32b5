// SPDX-License-Identifier: GPL-3.0-or-later
#include "dbusmenuexporter.h"

#include "platform/logging.h"

#include <QDBusAbstractAdaptor>
#include <QDBusMessage>
#include <QGuiApplication>

namespace Vantrell {

namespace {
const QString kLabel = QStringLiteral("label");
const QString kEnabled = QStringLiteral("enabled");
const QString kVisible = QStringLiteral("visible");
const QString kType = QStringLiteral("type");
const QString kToggleType = QStringLiteral("toggle-type");
const QString kToggleState = QStringLiteral("toggle-state");
const QString kChildrenDisplay = QStringLiteral("children-display");

// In dbusmenu labels an underscore marks the access key; ours have none, so a
// literal underscore (as in a coin's name) is doubled.
QString escapedLabel(const QString &label)
{
    QString escaped = label;
    escaped.replace(QLatin1Char('_'), QLatin1String("__"));
    return escaped;
}

QVariantMap entryProperties(const TrayMenuItem &item)
{
    using Kind = TrayMenuItem::Kind;
    if (item.kind == Kind::separator)
        return {{kType, QStringLiteral("separator")}, {kVisible, true}};
    QVariantMap properties {{kLabel, escapedLabel(item.label)}, {kEnabled, item.enabled}, {kVisible, true}};
    if (item.kind == Kind::radio || item.kind == Kind::checkbox) {
        properties.insert(
            kToggleType, item.kind == Kind::radio ? QStringLiteral("radio") : QStringLiteral("checkmark"));
        properties.insert(kToggleState, item.checked ? 1 : 0);
    }
    if (item.kind == Kind::submenu)
        properties.insert(kChildrenDisplay, QStringLiteral("submenu"));
    return properties;
}

QVariantMap filtered(const QVariantMap &properties, const QStringList &names)
{
    if (names.isEmpty())
        return properties;
    QVariantMap result;
    for (const QString &name : names) {
        const auto it = properties.constFind(name);
        if (it != properties.constEnd())
            result.insert(name, *it);
    }
    return result;
}

// What decides the layout: entries, their order, nesting and kinds.
QList<std::tuple<int, int, TrayMenuItem::Kind>> structureOf(const TrayMenu &menu)
{
    QList<std::tuple<int, int, TrayMenuItem::Kind>> structure;
    structure.reserve(menu.items().size());
    for (const TrayMenuItem &item : menu.items())
        structure.append({item.id, item.parentId, item.kind});
    return structure;
}

void replyError(const QDBusConnection &connection, const QDBusMessage &message, const QString &text)
{
    message.setDelayedReply(true);
    connection.send(message.createErrorReply(QDBusError::InvalidArgs, text));
}

QString unknownIdText(int id)
{
    return QStringLiteral("No menu entry with id %1").arg(id);
}
} // namespace

// The com.canonical.dbusmenu interface. Types in signatures are spelled in
// full: QtDBus looks parameter types up by name.
class DBusMenuAdaptor final : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
    Q_PROPERTY(uint Version READ version)
    Q_PROPERTY(QString TextDirection READ textDirection)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(QStringList IconThemePath READ iconThemePath)

public:
    explicit DBusMenuAdaptor(DBusMenuExporter *exporter)
        : QDBusAbstractAdaptor(exporter)
        , m_exporter(exporter)
    {
        setAutoRelaySignals(false);
    }

    uint version() const { return 3; }
    QString textDirection() const
    {
        return QGuiApplication::layoutDirection() == Qt::RightToLeft ? QStringLiteral("rtl") : QStringLiteral("ltr");
    }
    QString status() const { return QStringLiteral("normal"); }
    QStringList iconThemePath() const { return {}; }

public Q_SLOTS:
    uint GetLayout(int parentId, int recursionDepth, const QStringList &propertyNames, const QDBusMessage &message,
        Vantrell::DBusMenuLayoutItem &layout)
    {
        std::optional<DBusMenuLayoutItem> found = m_exporter->layout(parentId, recursionDepth, propertyNames);
        if (!found) {
            replyError(m_exporter->connection(), message, unknownIdText(parentId));
            return 0;
        }
        layout = std::move(*found);
        return m_exporter->layoutRevision();
    }

    QList<Vantrell::DBusMenuItemProperties> GetGroupProperties(const QList<int> &ids, const QStringList &propertyNames)
    {
        QList<int> wanted = ids;
        if (wanted.isEmpty()) {
            wanted.append(TrayMenu::kRootId);
            for (const TrayMenuItem &item : m_exporter->menu().items())
                wanted.append(item.id);
        }
        QList<DBusMenuItemProperties> result;
        for (int id : std::as_const(wanted)) {
            if (std::optional<QVariantMap> properties = m_exporter->properties(id, propertyNames))
                result.append({id, std::move(*properties)});
        }
        return result;
    }

    QDBusVariant GetProperty(int id, const QString &name, const QDBusMessage &message)
    {
        const std::optional<QVariantMap> properties = m_exporter->properties(id, {});
        if (!properties || !properties->contains(name)) {
            replyError(m_exporter->connection(), message,
                properties ? QStringLiteral("Menu entry %1 has no property %2").arg(id).arg(name) : unknownIdText(id));
            return {};
        }
        return QDBusVariant(properties->value(name));
    }

    void Event(int id, const QString &eventId, const QDBusVariant &data, uint timestamp, const QDBusMessage &message)
    {
        Q_UNUSED(data);
        Q_UNUSED(timestamp);
        if (!m_exporter->hasEntry(id)) {
            replyError(m_exporter->connection(), message, unknownIdText(id));
            return;
        }
        m_exporter->handleEvent(id, eventId);
    }

    QList<int> EventGroup(const QList<Vantrell::DBusMenuEvent> &events, const QDBusMessage &message)
    {
        QList<int> idErrors;
        QList<const DBusMenuEvent *> valid;
        for (const DBusMenuEvent &event : events) {
            if (m_exporter->hasEntry(event.id))
                valid.append(&event);
            else
                idErrors.append(event.id);
        }
        // The protocol asks for an error when not one id was valid.
        if (!events.isEmpty() && valid.isEmpty()) {
            replyError(m_exporter->connection(), message, QStringLiteral("No event names a menu entry"));
            return {};
        }
        // Handling may replace the menu, so the events are checked first.
        for (const DBusMenuEvent *event : std::as_const(valid))
            m_exporter->handleEvent(event->id, event->eventId);
        return idErrors;
    }

    bool AboutToShow(int id, const QDBusMessage &message)
    {
        if (!m_exporter->hasEntry(id))
            replyError(m_exporter->connection(), message, unknownIdText(id));
        // The menu is always up to date: it changes only through setMenu().
        return false;
    }

    QList<int> AboutToShowGroup(const QList<int> &ids, QList<int> &idErrors)
    {
        idErrors.clear();
        for (int id : ids) {
            if (!m_exporter->hasEntry(id))
                idErrors.append(id);
        }
        return {};
    }

Q_SIGNALS:
    void ItemsPropertiesUpdated(const QList<Vantrell::DBusMenuItemProperties> &updatedProps,
        const QList<Vantrell::DBusMenuItemPropertyNames> &removedProps);
    void LayoutUpdated(uint revision, int parent);
    void ItemActivationRequested(int id, uint timestamp);

private:
    DBusMenuExporter *m_exporter;
};

DBusMenuExporter::DBusMenuExporter(QObject *parent)
    : QObject(parent)
{ }

DBusMenuExporter::~DBusMenuExporter()
{
    unregister();
}

bool DBusMenuExporter::registerOn(const QDBusConnection &connection, const QString &objectPath)
{
    unregister();
    registerTrayDBusTypes();
    m_adaptor = new DBusMenuAdaptor(this);
    m_connection = connection;
    if (!m_connection.registerObject(objectPath, this, QDBusConnection::ExportAdaptors)) {
        qCWarning(lcTray) << "Cannot export the menu at" << objectPath << m_connection.lastError().message();
        delete m_adaptor;
        m_adaptor = nullptr;
        m_connection = QDBusConnection(QString());
        return false;
    }
    m_objectPath = objectPath;
    return true;
}

void DBusMenuExporter::unregister()
{
    if (!m_objectPath.isEmpty())
        m_connection.unregisterObject(m_objectPath);
    m_objectPath.clear();
    delete m_adaptor;
    m_adaptor = nullptr;
}

void DBusMenuExporter::setMenu(const TrayMenu &menu)
{
    if (menu == m_menu) {
        m_menu = menu;
        return;
    }
    const TrayMenu previous = std::exchange(m_menu, menu);
    if (structureOf(previous) != structureOf(m_menu)) {
        ++m_revision;
        if (m_adaptor)
            Q_EMIT m_adaptor->LayoutUpdated(m_revision, TrayMenu::kRootId);
        return;
    }
    QList<DBusMenuItemProperties> updated;
    for (qsizetype i = 0; i < m_menu.items().size(); ++i) {
        const QVariantMap before = entryProperties(previous.items().at(i));
        const QVariantMap after = entryProperties(m_menu.items().at(i));
        QVariantMap changed;
        for (auto it = after.constBegin(); it != after.constEnd(); ++it) {
            if (before.value(it.key()) != it.value())
                changed.insert(it.key(), it.value());
        }
        if (!changed.isEmpty())
            updated.append({m_menu.items().at(i).id, changed});
    }
    if (m_adaptor && !updated.isEmpty())
        Q_EMIT m_adaptor->ItemsPropertiesUpdated(updated, {});
}

std::optional<DBusMenuLayoutItem> DBusMenuExporter::layout(int id, int depth, const QStringList &propertyNames) const
{
    std::optional<QVariantMap> own = properties(id, propertyNames);
    if (!own)
        return std::nullopt;
    DBusMenuLayoutItem item {.id = id, .properties = std::move(*own)};
    if (depth != 0) {
        for (const TrayMenuItem &child : m_menu.children(id)) {
            if (std::optional<DBusMenuLayoutItem> childLayout
                = layout(child.id, depth < 0 ? -1 : depth - 1, propertyNames))
                item.children.append(std::move(*childLayout));
        }
    }
    return item;
}

std::optional<QVariantMap> DBusMenuExporter::properties(int id, const QStringList &propertyNames) const
{
    if (id == TrayMenu::kRootId)
        return filtered({{kChildrenDisplay, QStringLiteral("submenu")}}, propertyNames);
    const std::optional<TrayMenuItem> item = m_menu.item(id);
    if (!item)
        return std::nullopt;
    return filtered(entryProperties(*item), propertyNames);
}

void DBusMenuExporter::handleEvent(int id, const QString &eventId)
{
    if (eventId != QLatin1String("clicked"))
        return;
    const std::optional<TrayMenuItem> item = m_menu.item(id);
    if (!item || !item->enabled || item->kind == TrayMenuItem::Kind::separator
        || item->kind == TrayMenuItem::Kind::submenu)
        return;
    Q_EMIT menuItemTriggered(id);
}

} // namespace Vantrell

#include "dbusmenuexporter.moc"
