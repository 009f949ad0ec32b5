// SPDX-License-Identifier: GPL-3.0-or-later
#include "logging.h"

#define VANTRELL_CATEGORY(component) VANTRELL_APP_ID "." component

Q_LOGGING_CATEGORY(lcCoinCatalog, VANTRELL_CATEGORY("CoinCatalog"), QtInfoMsg)
Q_LOGGING_CATEGORY(lcCoinLogos, VANTRELL_CATEGORY("CoinLogos"), QtInfoMsg)
Q_LOGGING_CATEGORY(lcSettings, VANTRELL_CATEGORY("Settings"), QtInfoMsg)
Q_LOGGING_CATEGORY(lcNotifications, VANTRELL_CATEGORY("Notifications"), QtInfoMsg)
Q_LOGGING_CATEGORY(lcWidget, VANTRELL_CATEGORY("Widget"), QtInfoMsg)
Q_LOGGING_CATEGORY(lcLaunchAtLogin, VANTRELL_CATEGORY("LaunchAtLogin"), QtInfoMsg)
Q_LOGGING_CATEGORY(lcNetwork, VANTRELL_CATEGORY("Network"), QtInfoMsg)
Q_LOGGING_CATEGORY(lcMarket, VANTRELL_CATEGORY("Market"), QtInfoMsg)
Q_LOGGING_CATEGORY(lcTray, VANTRELL_CATEGORY("Tray"), QtInfoMsg)
Q_LOGGING_CATEGORY(lcUpdates, VANTRELL_CATEGORY("Updates"), QtInfoMsg)
Q_LOGGING_CATEGORY(lcApp, VANTRELL_CATEGORY("App"), QtInfoMsg)
