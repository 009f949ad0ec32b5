// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settingsstore/settingstab.h"

#include <QObject>
#include <QString>
#include <QVariantMap>

namespace Vantrell {

// Names of the in-process notifications by which views ask the shell for work.
namespace AppNotificationName {
// Open the settings window at a tab; user info: "tab" with a SettingsTab raw value.
inline const QString navigate = QStringLiteral("vantrell.navigate");
// Enter the desktop overlay's adjust mode; no user info.
inline const QString adjustDesktopOverlay = QStringLiteral("vantrell.adjustDesktopOverlay");
} // namespace AppNotificationName

// The user-info key of "vantrell.navigate".
inline const QString kNavigateTabKey = QStringLiteral("tab");

// The application-wide notification hub: the shell creates one and hands it by
// reference to every view that posts or listens. Delivery is synchronous, on
// the thread that posts (the main thread).
class AppNotificationCenter final : public QObject
{
    Q_OBJECT

public:
    explicit AppNotificationCenter(QObject *parent = nullptr);

    void post(const QString &name, const QVariantMap &userInfo = {});

Q_SIGNALS:
    void posted(const QString &name, const QVariantMap &userInfo);
};

// The user info of "vantrell.navigate" for `tab`.
QVariantMap navigationUserInfo(SettingsTab tab);

// The tab a "vantrell.navigate" asks for: general when "tab" is missing, not a
// string or not a known tab.
SettingsTab navigationTab(const QVariantMap &userInfo);

} // namespace Vantrell
