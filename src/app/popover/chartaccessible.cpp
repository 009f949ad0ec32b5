// SPDX-License-Identifier: GPL-3.0-or-later
#include "chartaccessible.h"

#include <QAccessibleWidget>
#include <QMetaObject>
#include <QSet>
#include <QWidget>

namespace Vantrell {

namespace {

QSet<QString> &chartClasses()
{
    static QSet<QString> classes;
    return classes;
}

// Asked with every class name of an object's hierarchy, most derived first.
QAccessibleInterface *chartInterface(const QString &className, QObject *object)
{
    if (!object || !object->isWidgetType() || !chartClasses().contains(className))
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Chart);
}

} // namespace

void announceAsChart(const QMetaObject &widgetClass)
{
    if (chartClasses().isEmpty())
        QAccessible::installFactory(&chartInterface);
    chartClasses().insert(QString::fromLatin1(widgetClass.className()));
}

} // namespace Vantrell
