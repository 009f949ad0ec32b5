// SPDX-License-Identifier: GPL-3.0-or-later
#include "accessiblelabels.h"

#include <QAccessible>
#include <QWidget>

namespace Vantrell::Test {

QString announcedLabel(QWidget *control)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(control);
    if (!iface)
        return {};
    QStringList parts;
    const auto relations = iface->relations(QAccessible::Label);
    for (const auto &relation : relations) {
        if (relation.first && !relation.first->text(QAccessible::Name).isEmpty())
            parts.append(relation.first->text(QAccessible::Name));
    }
    if (iface->role() != QAccessible::ComboBox && !iface->text(QAccessible::Name).isEmpty())
        parts.append(iface->text(QAccessible::Name));
    if (!iface->text(QAccessible::Description).isEmpty())
        parts.append(iface->text(QAccessible::Description));
    return parts.join(QStringLiteral(" | "));
}

QStringList unlabelledControls(QWidget *root)
{
    QStringList unlabelled;
    for (QWidget *widget : root->findChildren<QWidget *>()) {
        if (!(widget->focusPolicy() & Qt::TabFocus) || !widget->isVisibleTo(root) || widget->focusProxy())
            continue;
        // A scroll area's viewport takes focus only to scroll; the controls inside it are checked themselves.
        if (QAccessible::queryAccessibleInterface(widget)->role() == QAccessible::ScrollBar)
            continue;
        if (announcedLabel(widget).isEmpty()) {
            QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
            unlabelled.append(QString::fromLatin1(widget->metaObject()->className()) + QStringLiteral(" '")
                + iface->text(QAccessible::Value) + QStringLiteral("'"));
        }
    }
    return unlabelled;
}

} // namespace Vantrell::Test
