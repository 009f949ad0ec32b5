// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fakemarket.h"

#include <QByteArray>

namespace Vantrell::FakeMarketData {

// How each exchange writes its 15-minute candles.
enum class CandleFormat { Binance, Okx, Bybit, Coinbase, Kraken };

// The answer of an exchange's 15-minute candle endpoint for the newest
// `limit` candles of a coin that trades at `price` at `nowMs`: a smooth,
// deterministic day around that price whose open candle closes at it, with
// `defect` written in. Binance and Kraken list oldest first, the others newest
// first, each in its own envelope; `pair` is the name the envelope repeats
// (Bybit's symbol, Kraken's result key).
QByteArray candleAnswer(CandleFormat format, const QByteArray &pair, double price, int limit, qint64 nowMs,
    FakeMarketFault::Candles defect = FakeMarketFault::Candles::Whole);

} // namespace Vantrell::FakeMarketData
