// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "coinlist/coinlistfeed.h"
#include "market/coinmetadata.h"
#include "memorysettingsstore.h"
#include "settingsstore/settingsstore.h"
#include "updates/updatecontroller.h"

#include <QList>
#include <QPalette>

#include <optional>

// Fakes shared by the popover tests.
namespace Vantrell::Test {

// A coin list the test sets directly.
class FakeCoinListFeed final : public CoinListFeed
{
    Q_OBJECT

public:
    using CoinListFeed::CoinListFeed;

    QList<Coin> coins() const override { return m_coins; }
    bool isLoading() const override { return m_loading; }
    double usdToTargetRate() const override { return m_rate; }
    void setUsdToTargetRate(double rate) { m_rate = rate; }
    std::optional<QDateTime> stalePricesSince() const override { return m_staleSince; }
    bool networkRefused() const override { return m_refused; }

    void setCoins(const QList<Coin> &coins)
    {
        m_coins = coins;
        Q_EMIT coinsChanged();
    }
    void setLoading(bool loading)
    {
        m_loading = loading;
        Q_EMIT isLoadingChanged();
    }
    void setStalePricesSince(std::optional<QDateTime> since)
    {
        m_staleSince = std::move(since);
        Q_EMIT stalePricesSinceChanged();
    }
    void setNetworkRefused(bool refused)
    {
        m_refused = refused;
        Q_EMIT networkRefusedChanged();
    }

private:
    QList<Coin> m_coins;
    bool m_loading = false;
    double m_rate = 1.0;
    std::optional<QDateTime> m_staleSince;
    bool m_refused = false;
};

// An update backend that counts user-initiated checks.
class CountingUpdaterBackend final : public UpdaterBackend
{
public:
    bool canCheckForUpdates() const override { return true; }
    bool automaticallyChecksForUpdates() const override { return false; }
    void setAutomaticallyChecksForUpdates(bool) override { }
    void checkForUpdates() override { ++checks; }

    int checks = 0;
};

inline Coin coin(const QString &id, const QString &symbol, const QString &name, std::optional<double> price,
    std::optional<double> change, CoinStatus status = CoinStatus::active)
{
    Coin coin;
    coin.id = id;
    coin.symbol = symbol;
    coin.name = name;
    coin.status = status;
    coin.currentPrice = price;
    coin.priceChange24hPercent = change;
    return coin;
}

// A watchlist of `count` coins (at most 12) with a mix of rises, falls,
// missing prices and a delisted coin.
inline QList<Coin> sampleCoins(int count)
{
    const QList<Coin> all {
        coin(QStringLiteral("bitcoin"), QStringLiteral("BTC"), QStringLiteral("Bitcoin"), 97342.6, 2.314),
        coin(QStringLiteral("ethereum"), QStringLiteral("ETH"), QStringLiteral("Ethereum"), 3421.07, -1.5),
        coin(QStringLiteral("dogecoin"), QStringLiteral("DOGE"), QStringLiteral("Dogecoin"), 0.38214, 0.0),
        coin(QStringLiteral("solana"), QStringLiteral("SOL"), QStringLiteral("Solana"), 187.4, 5.72),
        coin(QStringLiteral("ripple"), QStringLiteral("XRP"), QStringLiteral("XRP"), 2.41, -0.5),
        coin(QStringLiteral("cardano"), QStringLiteral("ADA"), QStringLiteral("Cardano"), 0.9876, -3.05),
        coin(QStringLiteral("toncoin"), QStringLiteral("TON"), QStringLiteral("Toncoin"), std::nullopt, std::nullopt),
        coin(QStringLiteral("terra-luna"), QStringLiteral("LUNA"), QStringLiteral("Terra Luna Classic"), 0.000091,
            -12.4, CoinStatus::delisted),
        coin(QStringLiteral("chainlink"), QStringLiteral("LINK"), QStringLiteral("Chainlink"), 24.93, 1.02),
        coin(QStringLiteral("avalanche-2"), QStringLiteral("AVAX"), QStringLiteral("Avalanche"), 41.2, -0.08),
        coin(QStringLiteral("polkadot"), QStringLiteral("DOT"), QStringLiteral("Polkadot"), 7.3, 0.4),
        coin(QStringLiteral("litecoin"), QStringLiteral("LTC"), QStringLiteral("Litecoin"), 104.5, 0.9),
    };
    return all.mid(0, count);
}

// A dark desktop theme.
inline QPalette darkPalette()
{
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(0x2B, 0x2B, 0x2E));
    palette.setColor(QPalette::WindowText, QColor(0xF2, 0xF2, 0xF2));
    palette.setColor(QPalette::Base, QColor(0x1E, 0x1E, 0x20));
    palette.setColor(QPalette::Text, QColor(0xF2, 0xF2, 0xF2));
    palette.setColor(QPalette::Button, QColor(0x3A, 0x3A, 0x3D));
    palette.setColor(QPalette::ButtonText, QColor(0xF2, 0xF2, 0xF2));
    palette.setColor(QPalette::Highlight, QColor(0x3D, 0x8B, 0xFD));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::PlaceholderText, QColor(0x99, 0x99, 0x9E));
    return palette;
}

} // namespace Vantrell::Test
