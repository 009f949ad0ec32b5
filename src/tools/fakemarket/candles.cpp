// SPDX-License-Identifier: GPL-3.0-or-later
#include "candles.h"

#include "marketbook.h"

#include <QCryptographicHash>

#include <algorithm>
#include <cmath>

namespace Vantrell::FakeMarketData {

namespace {
constexpr qint64 slotMs = 15 * 60 * 1000;

// The close of the candle that opened at `openMs`, for a pair ending at `price` now.
double closeAt(double price, qint64 openMs, qint64 nowOpenMs, double phase)
{
    const double slotsAgo = double(nowOpenMs - openMs) / double(slotMs);
    if (slotsAgo <= 0)
        return price;
    // A slow swell and a faster ripple, about ±3 % over the day, meeting the price now.
    const auto shape
        = [phase](double t) { return 0.022 * std::sin(t / 15 + phase) + 0.008 * std::sin(t / 3.1 + 2 * phase); };
    return price * (1 + shape(slotsAgo) - shape(0));
}

// One candle in the exchange's row form.
QByteArray row(CandleFormat format, qint64 openMs, double open, double high, double low, double close, bool newest)
{
    const QByteArray o = shortestDecimal(open);
    const QByteArray h = shortestDecimal(high);
    const QByteArray l = shortestDecimal(low);
    const QByteArray c = shortestDecimal(close);
    const QByteArray ms = QByteArray::number(openMs);
    const QByteArray seconds = QByteArray::number(openMs / 1000);
    switch (format) {
    case CandleFormat::Binance:
        return "[" + ms + ",\"" + o + "\",\"" + h + "\",\"" + l + "\",\"" + c + "\",\"12.5\","
            + QByteArray::number(openMs + slotMs - 1) + ",\"1000\",100,\"6\",\"500\",\"0\"]";
    case CandleFormat::Okx:
        return "[\"" + ms + "\",\"" + o + "\",\"" + h + "\",\"" + l + "\",\"" + c + "\",\"12.5\",\"1000\",\"1000\",\""
            + (newest ? "0" : "1") + "\"]";
    case CandleFormat::Bybit:
        return "[\"" + ms + "\",\"" + o + "\",\"" + h + "\",\"" + l + "\",\"" + c + "\",\"12.5\",\"1000\"]";
    case CandleFormat::Coinbase:
        // [time, low, high, open, close, volume], all numbers.
        return "[" + seconds + "," + l + "," + h + "," + o + "," + c + ",12.5]";
    case CandleFormat::Kraken:
        // [time, open, high, low, close, vwap, volume, count].
        return "[" + seconds + ",\"" + o + "\",\"" + h + "\",\"" + l + "\",\"" + c + "\",\"" + c
            + "\",\"12.50000000\",100]";
    }
    return {};
}

} // namespace

QByteArray candleAnswer(
    CandleFormat format, const QByteArray &pair, double price, int limit, qint64 nowMs, FakeMarketFault::Candles defect)
{
    const qint64 nowOpen = nowMs - (nowMs % slotMs);
    const QByteArray digest = QCryptographicHash::hash(pair, QCryptographicHash::Md5);
    const double phase = double(quint8(digest.at(0))) / 255.0 * 6.283;
    limit = std::clamp(limit, 0, 1000);
    const bool oldestFirst = format == CandleFormat::Binance || format == CandleFormat::Kraken;
    QList<QByteArray> rows;
    QList<qint64> opens;
    for (int i = limit - 1; i >= 0; --i) {
        const qint64 open = nowOpen - i * slotMs;
        const double close = closeAt(price, open, nowOpen, phase);
        const double previous = closeAt(price, open - slotMs, nowOpen, phase);
        const QByteArray candle = row(format, open, previous, std::max(previous, close) * 1.001,
            std::min(previous, close) * 0.999, close, i == 0);
        oldestFirst ? rows.append(candle) : rows.prepend(candle);
        oldestFirst ? opens.append(open) : opens.prepend(open);
    }
    const qsizetype middle = rows.size() / 2;
    switch (defect) {
    case FakeMarketFault::Candles::Whole:
        break;
    case FakeMarketFault::Candles::Empty:
        rows.clear();
        break;
    case FakeMarketFault::Candles::OutOfOrder:
        // Neighbours swapped: neither oldest nor newest first.
        for (qsizetype i = 0; i + 1 < rows.size(); i += 2)
            rows.swapItemsAt(i, i + 1);
        break;
    case FakeMarketFault::Candles::Gap: {
        const qsizetype missing = std::clamp<qsizetype>(rows.size() - 2, 0, 4);
        rows.remove(middle - missing / 2, missing);
        break;
    }
    case FakeMarketFault::Candles::ZeroClose:
        if (!rows.isEmpty())
            rows[middle] = row(format, opens.at(middle), 0, 0, 0, 0, false);
        break;
    }

    const QByteArray list = "[" + rows.join(',') + "]";
    switch (format) {
    case CandleFormat::Binance:
    case CandleFormat::Coinbase:
        return list;
    case CandleFormat::Okx:
        return R"({"code":"0","msg":"","data":)" + list + "}";
    case CandleFormat::Bybit:
        return R"({"retCode":0,"retMsg":"OK","result":{"category":"spot","symbol":")" + pair + R"(","list":)" + list
            + R"(},"retExtInfo":{},"time":)" + QByteArray::number(nowMs) + "}";
    case CandleFormat::Kraken:
        // "last": the newest committed candle, the one before the open one.
        return R"({"error":[],"result":{")" + pair + R"(":)" + list + R"(,"last":)"
            + QByteArray::number((nowOpen - slotMs) / 1000) + "}}";
    }
    return {};
}

} // namespace Vantrell::FakeMarketData
