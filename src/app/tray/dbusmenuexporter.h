// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "traydbustypes.h"
#include "traymenu.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <optional>

namespace Vantrell {

class DBusMenuAdaptor;

// Publishes a TrayMenu as a com.canonical.dbusmenu object (protocol version 3),
// which the panel reads to draw the item's menu. Entries keep their TrayMenu
// ids; the invisible root has id 0. A click on an entry ("clicked" event) is
// reported through menuItemTriggered().
class DBusMenuExporter final : public QObject
{
    Q_OBJECT

public:
    static constexpr char kDefaultObjectPath[] = "/MenuBar";

    explicit DBusMenuExporter(QObject *parent = nullptr);
    ~DBusMenuExporter() override;

    // Exports the menu at `objectPath` on `connection`; false when the path is
    // taken. Registers the D-Bus types first.
    bool registerOn(
        const QDBusConnection &connection, const QString &objectPath = QString::fromLatin1(kDefaultObjectPath));
    void unregister();
    QString objectPath() const { return m_objectPath; }

    // Replaces the menu. A change of entries, order or kinds is announced as a
    // new layout revision (LayoutUpdated); a change of labels, enabled or
    // checked states alone as ItemsPropertiesUpdated.
    void setMenu(const TrayMenu &menu);
    const TrayMenu &menu() const { return m_menu; }
    uint layoutRevision() const { return m_revision; }

    // What the bus object serves.
    const QDBusConnection &connection() const { return m_connection; }
    // The entry `id` and, `depth` levels down (-1: all), its children, with
    // only the properties named (all when none are named). Nothing when the
    // id is not in the menu.
    std::optional<DBusMenuLayoutItem> layout(int id, int depth, const QStringList &propertyNames) const;
    // The properties of the entry `id` (the root included); nothing for an unknown id.
    std::optional<QVariantMap> properties(int id, const QStringList &propertyNames) const;
    bool hasEntry(int id) const { return id == TrayMenu::kRootId || m_menu.contains(id); }
    // Handles an event for a known entry.
    void handleEvent(int id, const QString &eventId);

Q_SIGNALS:
    void menuItemTriggered(int id);

private:
    TrayMenu m_menu;
    uint m_revision = 1;
    QDBusConnection m_connection {QString()};
    QString m_objectPath;
    DBusMenuAdaptor *m_adaptor = nullptr;
};

} // namespace Vantrell
