// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLoggingCategory>

// One category per component, named "<application id>.<component>".
Q_DECLARE_LOGGING_CATEGORY(lcCoinCatalog)
Q_DECLARE_LOGGING_CATEGORY(lcCoinLogos)
Q_DECLARE_LOGGING_CATEGORY(lcSettings)
Q_DECLARE_LOGGING_CATEGORY(lcNotifications)
Q_DECLARE_LOGGING_CATEGORY(lcWidget)
Q_DECLARE_LOGGING_CATEGORY(lcLaunchAtLogin)
Q_DECLARE_LOGGING_CATEGORY(lcNetwork)
Q_DECLARE_LOGGING_CATEGORY(lcMarket)
Q_DECLARE_LOGGING_CATEGORY(lcTray)
Q_DECLARE_LOGGING_CATEGORY(lcUpdates)
Q_DECLARE_LOGGING_CATEGORY(lcApp)
