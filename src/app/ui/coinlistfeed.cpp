// SPDX-License-Identifier: GPL-3.0-or-later
#include "coinlistfeed.h"

#include "coinlist/coinlistviewmodel.h"

namespace Vantrell {

CoinListViewModelFeed::CoinListViewModelFeed(CoinListViewModel &model, QObject *parent)
    : CoinListFeed(parent)
    , m_model(model)
{
    connect(&model, &CoinListViewModel::coinsChanged, this, &CoinListFeed::coinsChanged);
    connect(&model, &CoinListViewModel::isLoadingChanged, this, &CoinListFeed::isLoadingChanged);
    connect(&model, &CoinListViewModel::stalePricesSinceChanged, this, &CoinListFeed::stalePricesSinceChanged);
    connect(&model, &CoinListViewModel::networkRefusedChanged, this, &CoinListFeed::networkRefusedChanged);
}

QList<Coin> CoinListViewModelFeed::coins() const
{
    return m_model.coins();
}

bool CoinListViewModelFeed::isLoading() const
{
    return m_model.isLoading();
}

double CoinListViewModelFeed::usdToTargetRate() const
{
    return m_model.lastUsdToTargetExchangeRate();
}

std::optional<QDateTime> CoinListViewModelFeed::stalePricesSince() const
{
    return m_model.stalePricesSince();
}

bool CoinListViewModelFeed::networkRefused() const
{
    return m_model.networkRefused();
}

} // namespace Vantrell
