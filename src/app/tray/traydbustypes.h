// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDBusArgument>
#include <QDBusVariant>
#include <QImage>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QVariantMap>

// The D-Bus structures of the StatusNotifierItem and com.canonical.dbusmenu
// interfaces, with their marshalling.
namespace Vantrell {

// One icon image, "(iiay)": ARGB32 pixels in network byte order.
struct DBusImage
{
    int width = 0;
    int height = 0;
    QByteArray pixels;

    bool operator==(const DBusImage &) const = default;
};
using DBusImageList = QList<DBusImage>;

DBusImage toDBusImage(const QImage &image);
// Null for a malformed image (sizes that do not match the data).
QImage fromDBusImage(const DBusImage &image);

// The tooltip, "(sa(iiay)ss)": icon name, icon images, title, text.
struct DBusToolTip
{
    QString iconName;
    DBusImageList images;
    QString title;
    QString text;

    bool operator==(const DBusToolTip &) const = default;
};

// A menu entry with its children, "(ia{sv}av)"; each child is a variant that
// holds another such entry.
struct DBusMenuLayoutItem
{
    int id = 0;
    QVariantMap properties;
    QList<DBusMenuLayoutItem> children;
};

// "(ia{sv})"
struct DBusMenuItemProperties
{
    int id = 0;
    QVariantMap properties;
};
using DBusMenuItemPropertiesList = QList<DBusMenuItemProperties>;

// "(ias)"
struct DBusMenuItemPropertyNames
{
    int id = 0;
    QStringList names;
};
using DBusMenuItemPropertyNamesList = QList<DBusMenuItemPropertyNames>;

// One event of EventGroup, "(isvu)".
struct DBusMenuEvent
{
    int id = 0;
    QString eventId;
    QDBusVariant data;
    uint timestamp = 0;
};
using DBusMenuEventList = QList<DBusMenuEvent>;

// Registers every type above with QtDBus; needed before an object using them
// is registered on a connection (else the properties silently vanish).
// Idempotent.
void registerTrayDBusTypes();

QDBusArgument &operator<<(QDBusArgument &argument, const DBusImage &image);
const QDBusArgument &operator>>(const QDBusArgument &argument, DBusImage &image);
QDBusArgument &operator<<(QDBusArgument &argument, const DBusToolTip &toolTip);
const QDBusArgument &operator>>(const QDBusArgument &argument, DBusToolTip &toolTip);
QDBusArgument &operator<<(QDBusArgument &argument, const DBusMenuLayoutItem &item);
const QDBusArgument &operator>>(const QDBusArgument &argument, DBusMenuLayoutItem &item);
QDBusArgument &operator<<(QDBusArgument &argument, const DBusMenuItemProperties &item);
const QDBusArgument &operator>>(const QDBusArgument &argument, DBusMenuItemProperties &item);
QDBusArgument &operator<<(QDBusArgument &argument, const DBusMenuItemPropertyNames &item);
const QDBusArgument &operator>>(const QDBusArgument &argument, DBusMenuItemPropertyNames &item);
QDBusArgument &operator<<(QDBusArgument &argument, const DBusMenuEvent &event);
const QDBusArgument &operator>>(const QDBusArgument &argument, DBusMenuEvent &event);

} // namespace Vantrell

Q_DECLARE_METATYPE(Vantrell::DBusImage)
Q_DECLARE_METATYPE(Vantrell::DBusToolTip)
Q_DECLARE_METATYPE(Vantrell::DBusMenuLayoutItem)
Q_DECLARE_METATYPE(Vantrell::DBusMenuItemProperties)
Q_DECLARE_METATYPE(Vantrell::DBusMenuItemPropertyNames)
Q_DECLARE_METATYPE(Vantrell::DBusMenuEvent)
