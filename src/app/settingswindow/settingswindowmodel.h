// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "market/coinmetadata.h"
#include "settings/appsettings.h"
#include "settingsstore/settingstab.h"

#include <QList>
#include <QSize>
#include <QString>
#include <QUrl>

// What the settings window shows, decided without a screen.
namespace Vantrell {

class Bundle;

// The sidebar's tabs in order, with their title keys and icon names (from the
// icon theme; the bundle's image of the same name where the theme lacks it).
struct SettingsTabItem
{
    SettingsTab tab;
    const char *titleKey;
    const char *iconName;
};
const QList<SettingsTabItem> &settingsTabItems();

// The window's size limits: 600…800 wide, 420…500 high, also for a size
// restored from an earlier run; 786 × 500 the first time.
inline constexpr QSize kSettingsWindowSize {786, 500};
QSize clampSettingsWindowSize(const QSize &size);

// The overlay opacity as a whole percentage, halves away from zero: 0.125 is "13%".
QString opacityPercentText(double opacity);

// One choice of the panel-coin picker: every watchlist entry in order, named
// by the coin list's symbol, or by its id when the coin list lacks it.
struct MenuBarCoinOption
{
    QString coinId;
    QString label;
    bool operator==(const MenuBarCoinOption &) const = default;
};
QList<MenuBarCoinOption> menuBarCoinOptions(const AppSettings &settings, const QList<Coin> &coins);

// The addresses the About tab links to, from the bundle's Info.json so that a
// distribution can change them. An empty value means the link is not shown.
struct AboutLinks
{
    QString version; // "1.0" when the bundle names none
    QString email;
    QString socialHandle;
    QUrl socialProfile;
    QUrl exchangeRateProvider;

    static AboutLinks of(const Bundle &bundle);
};

// What the program really ships and links, with its licence and home page.
struct OpenSourceComponent
{
    QString name;
    QString license;
    QUrl url;
};
const QList<OpenSourceComponent> &openSourceComponents();

} // namespace Vantrell
