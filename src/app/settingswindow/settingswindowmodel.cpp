// SPDX-License-Identifier: GPL-3.0-or-later
#include "settingswindowmodel.h"

#include "platform/bundle.h"

#include <algorithm>
#include <cmath>

namespace Vantrell {

const QList<SettingsTabItem> &settingsTabItems()
{
    static const QList<SettingsTabItem> items {
        {SettingsTab::general, "nav.general", "preferences-system"},
        {SettingsTab::watchlist, "nav.watchlist", "view-list-details"},
        {SettingsTab::about, "nav.about", "help-about"},
    };
    return items;
}

QSize clampSettingsWindowSize(const QSize &size)
{
    return QSize(std::clamp(size.width(), 600, 800), std::clamp(size.height(), 420, 500));
}

QString opacityPercentText(double opacity)
{
    if (!std::isfinite(opacity))
        opacity = 1;
    // std::round takes halves away from zero.
    return QString::number(qint64(std::round(opacity * 100))) + QLatin1Char('%');
}

QList<MenuBarCoinOption> menuBarCoinOptions(const AppSettings &settings, const QList<Coin> &coins)
{
    QList<MenuBarCoinOption> options;
    for (const WatchlistCoin &entry : settings.watchlistCoins) {
        const auto coin = std::find_if(
            coins.cbegin(), coins.cend(), [&entry](const Coin &candidate) { return candidate.id == entry.coinId; });
        options.append({entry.coinId, coin != coins.cend() ? coin->symbol : entry.coinId});
    }
    return options;
}

AboutLinks AboutLinks::of(const Bundle &bundle)
{
    const auto text = [&bundle](const char *key) {
        const QVariant value = bundle.infoValue(QString::fromLatin1(key));
        return value.typeId() == QMetaType::QString ? value.toString().trimmed() : QString();
    };
    const auto webAddress = [&text](const char *key) {
        const QUrl url(text(key), QUrl::StrictMode);
        return url.isValid() && url.scheme() == QLatin1String("https") ? url : QUrl();
    };
    AboutLinks links;
    links.version = text("CFBundleShortVersionString");
    if (links.version.isEmpty())
        links.version = QStringLiteral("1.0");
    links.email = text("contactEmail");
    links.socialHandle = text("socialHandle");
    links.socialProfile = webAddress("socialProfileURL");
    links.exchangeRateProvider = webAddress("exchangeRateProviderURL");
    return links;
}

const QList<OpenSourceComponent> &openSourceComponents()
{
    static const QList<OpenSourceComponent> components {
        {QStringLiteral("Qt"), QStringLiteral("GNU LGPL v3"), QUrl(QStringLiteral("https://www.qt.io/"))},
        {QStringLiteral("simdjson"), QStringLiteral("Apache License 2.0"),
            QUrl(QStringLiteral("https://simdjson.org/"))},
        {QStringLiteral("cryptocurrency-icons"), QStringLiteral("CC0 1.0"),
            QUrl(QStringLiteral("https://github.com/spothq/cryptocurrency-icons"))},
    };
    return components;
}

} // namespace Vantrell
