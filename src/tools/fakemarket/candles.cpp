// SPDX-License-Identifier: GPL-3.0-or-later
#include "candles.h"

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
} // namespace

QByteArray candleAnswer(Exchange exchange, const QByteArray &pair, double price, int limit, qint64 nowMs)
{
    const qint64 nowOpen = nowMs - (nowMs % slotMs);
    const QByteArray digest = QCryptographicHash::hash(pair, QCryptographicHash::Md5);
    const double phase = double(quint8(digest.at(0))) / 255.0 * 6.283;
    limit = std::clamp(limit, 0, 1000);
    QList<QByteArray> rows;
    for (int i = limit - 1; i >= 0; --i) {
        const qint64 open = nowOpen - i * slotMs;
        const double close = closeAt(price, open, nowOpen, phase);
        const double previous = closeAt(price, open - slotMs, nowOpen, phase);
        const QByteArray o = shortestDecimal(previous);
        const QByteArray c = shortestDecimal(close);
        const QByteArray h = shortestDecimal(std::max(previous, close) * 1.001);
        const QByteArray l = shortestDecimal(std::min(previous, close) * 0.999);
        const QByteArray time = QByteArray::number(open);
        switch (exchange) {
        case Exchange::Binance:
            rows.append("[" + time + ",\"" + o + "\",\"" + h + "\",\"" + l + "\",\"" + c + "\",\"12.5\","
                + QByteArray::number(open + slotMs - 1) + ",\"1000\",100,\"6\",\"500\",\"0\"]");
            break;
        case Exchange::Okx:
            rows.prepend("[\"" + time + "\",\"" + o + "\",\"" + h + "\",\"" + l + "\",\"" + c
                + "\",\"12.5\",\"1000\",\"1000\",\"" + (i == 0 ? "0" : "1") + "\"]");
            break;
        case Exchange::Bybit:
            rows.prepend(
                "[\"" + time + "\",\"" + o + "\",\"" + h + "\",\"" + l + "\",\"" + c + "\",\"12.5\",\"1000\"]");
            break;
        }
    }
    const QByteArray list = "[" + rows.join(',') + "]";
    switch (exchange) {
    case Exchange::Binance:
        return list;
    case Exchange::Okx:
        return R"({"code":"0","msg":"","data":)" + list + "}";
    case Exchange::Bybit:
        return R"({"retCode":0,"retMsg":"OK","result":{"category":"spot","symbol":")" + pair + R"(","list":)" + list
            + R"(},"retExtInfo":{},"time":)" + QByteArray::number(nowMs) + "}";
    }
    return {};
}

} // namespace Vantrell::FakeMarketData
