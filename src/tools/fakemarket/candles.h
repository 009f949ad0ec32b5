// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "marketbook.h"

#include <QByteArray>

namespace Vantrell::FakeMarketData {

// The answer of an exchange's 15-minute candle endpoint for the newest
// `limit` candles of a coin that trades at `price` at `nowMs`: a smooth,
// deterministic day around that price whose open candle closes at it.
// Binance lists oldest first, OKX and Bybit newest first, each in its own
// envelope.
QByteArray candleAnswer(Exchange exchange, const QByteArray &pair, double price, int limit, qint64 nowMs);

} // namespace Vantrell::FakeMarketData
