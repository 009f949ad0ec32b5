// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QImage>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

#include <optional>

namespace Vantrell::Test {

class FakeWatcherAdaptor;

// A panel on the test's private bus, speaking the real protocols on a
// connection of its own: it owns org.kde.StatusNotifierWatcher and records
// RegisterStatusNotifierItem calls, and, as the panel's host, reads a
// registered item (properties, icons, tooltip), clicks it and walks its
// com.canonical.dbusmenu menu. It decodes everything itself, from the wire
// format, without the product's D-Bus types.
//
// Calls wait for their reply while running the event loop, so the item may
// live in the same thread.
class FakeStatusNotifierWatcher final : public QObject
{
    Q_OBJECT

public:
    static constexpr char kService[] = "org.kde.StatusNotifierWatcher";

    struct ToolTip
    {
        QString iconName;
        QList<QImage> images;
        QString title;
        QString text;
    };

    struct MenuNode
    {
        int id = 0;
        QVariantMap properties;
        QList<MenuNode> children;

        QString label() const { return properties.value(QStringLiteral("label")).toString(); }
        // This node or the first node below it with `id`.
        const MenuNode *find(int id) const;
    };

    explicit FakeStatusNotifierWatcher(QObject *parent = nullptr);
    ~FakeStatusNotifierWatcher() override;

    // Connects to the bus and takes the watcher name; false when refused.
    bool start();
    // Leaves the bus as a quitting panel does (the name goes with it).
    void stop();
    bool isRunning() const { return m_connection.has_value(); }

    // Every RegisterStatusNotifierItem argument received, across restarts.
    QStringList registrations() const { return m_registrations; }
    // Forgets `name` and says so with StatusNotifierItemUnregistered, as a
    // panel that loses an item does.
    void dropItem(const QString &name);
    // Answers the next RegisterStatusNotifierItem with success but leaves the
    // item out of RegisteredStatusNotifierItems.
    void ignoreNextRegistration() { m_ignoreNextRegistration = true; }

    // The bus name of the item that registered last ("" when none did).
    QString item() const { return m_registrations.isEmpty() ? QString() : m_registrations.constLast(); }

    // A method call to any peer, waited for (with the event loop running).
    QDBusMessage call(const QString &service, const QString &path, const QString &interface, const QString &method,
        const QVariantList &arguments = {});

    // The registered item's org.kde.StatusNotifierItem side.
    QDBusMessage callItem(const QString &method, const QVariantList &arguments = {});
    // A property through org.freedesktop.DBus.Properties.Get; invalid on error.
    QVariant itemProperty(const QString &name);
    QList<QImage> itemIconPixmaps();
    ToolTip itemToolTip();

    // The item's menu (the object path its Menu property names).
    QDBusMessage callMenu(const QString &method, const QVariantList &arguments = {});
    // GetLayout, decoded; nothing when the call failed.
    std::optional<MenuNode> menuLayout(
        int parentId = 0, int depth = -1, const QStringList &properties = {}, uint *revision = nullptr);
    QDBusMessage sendMenuEvent(int id, const QString &eventId = QStringLiteral("clicked"));

    // Signals received from items and menus since start() or clearSignals():
    // "NewIcon", "NewToolTip", "XAyatanaNewLabel", "LayoutUpdated", …
    QList<QDBusMessage> signalsNamed(const QString &member) const;
    void clearSignals() { m_signals.clear(); }

    // Decoders of the wire formats, for answers read by other means.
    static QList<QImage> decodePixmaps(const QVariant &value);
    static ToolTip decodeToolTip(const QVariant &value);
    static MenuNode decodeMenuNode(const QVariant &value);

Q_SIGNALS:
    void itemRegistered(const QString &service);

private Q_SLOTS:
    void recordSignal(const QDBusMessage &message);

private:
    friend class FakeWatcherAdaptor;
    void registerItem(const QString &service, const QString &sender);
    QDBusConnection connection() const;

    std::optional<QDBusConnection> m_connection;
    QString m_connectionName;
    QObject *m_exported = nullptr;
    FakeWatcherAdaptor *m_adaptor = nullptr;
    bool m_ignoreNextRegistration = false;
    QStringList m_registrations;
    QStringList m_registeredNow;
    QList<QDBusMessage> m_signals;
};

} // namespace Vantrell::Test
