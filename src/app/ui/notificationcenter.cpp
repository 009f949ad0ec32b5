// SPDX-License-Identifier: GPL-3.0-or-later
#include "notificationcenter.h"

namespace Vantrell {

AppNotificationCenter::AppNotificationCenter(QObject *parent)
    : QObject(parent)
{ }

void AppNotificationCenter::post(const QString &name, const QVariantMap &userInfo)
{
    Q_EMIT posted(name, userInfo);
}

QVariantMap navigationUserInfo(SettingsTab tab)
{
    return {{kNavigateTabKey, rawValue(tab)}};
}

SettingsTab navigationTab(const QVariantMap &userInfo)
{
    const QVariant value = userInfo.value(kNavigateTabKey);
    if (value.typeId() != QMetaType::QString)
        return SettingsTab::general;
    return settingsTabFromRawValue(value.toString()).value_or(SettingsTab::general);
}

} // namespace Vantrell
