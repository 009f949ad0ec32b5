#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Builds full-size OKX and Bybit spot-ticker answers for tests and benchmarks.

No complete all-tickers capture of either exchange was at hand, so both answers
are assembled from the active pairs of the recorded Binance answer
(data/recorded/binance-ticker-24hr-2024-03.json): the same base and quote
assets, last prices, 24-hour opens, highs, lows, volumes and book tops, written
in each exchange's documented entry shape and envelope. Pairs quoted in USDT are
mixed with pairs in other quote currencies, as in the real answers.

Run from anywhere; the output is deterministic (same input, same bytes):
    python3 tools/market/make_captures.py
"""

import json
import zlib
from decimal import Decimal
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
SOURCE = ROOT / "data" / "recorded" / "binance-ticker-24hr-2024-03.json"
OUTPUT = ROOT / "data" / "generated"

# Longest first, so that "FDUSD" is not taken for "USD" and "TUSD" for "USD".
QUOTES = ["FDUSD", "USDT", "USDC", "TUSD", "AEUR", "BIDR", "IDRT", "BTC", "ETH", "BNB", "EUR",
          "TRY", "BRL", "UAH", "DAI", "ZAR", "PLN", "RON", "IDR", "ARS", "DOGE", "XRP", "TRX"]

# Tickers whose window closed more than this before the newest one are halted
# or delisted; neither exchange lists those in its spot tickers.
FRESH_MS = 3600 * 1000


def split_pair(symbol):
    for quote in QUOTES:
        if symbol.endswith(quote) and len(symbol) > len(quote):
            return symbol[: -len(quote)], quote
    return None


def plain(text):
    """A decimal text without trailing zeros, the way both exchanges print numbers."""
    value = Decimal(text)
    if value == 0:
        return "0"
    text = format(value.normalize(), "f")
    return text


def between(low, high, fraction, like):
    """low + (high - low) * fraction, with as many decimals as `like` has."""
    low, high = Decimal(low), Decimal(high)
    exponent = Decimal(like).as_tuple().exponent
    value = low + (high - low) * Decimal(fraction)
    return plain(str(value.quantize(Decimal(1).scaleb(exponent))))


def pick(symbol, modulus, below):
    """A stable pseudo-random choice per symbol."""
    return zlib.crc32(symbol.encode("ascii")) % modulus < below


def active_pairs(tickers):
    newest = max(t["closeTime"] for t in tickers)
    pairs = []
    for ticker in tickers:
        if ticker["count"] <= 0 or ticker["closeTime"] < newest - FRESH_MS:
            continue
        split = split_pair(ticker["symbol"])
        if split is None:
            continue
        pairs.append((split[0], split[1], ticker))
    return pairs, newest


def okx_entry(base, quote, t):
    last = t["lastPrice"]
    return {
        "instType": "SPOT",
        "instId": f"{base}-{quote}",
        "last": plain(last),
        "lastSz": plain(t["lastQty"]),
        "askPx": plain(t["askPrice"]),
        "askSz": plain(t["askQty"]),
        "bidPx": plain(t["bidPrice"]),
        "bidSz": plain(t["bidQty"]),
        "open24h": plain(t["openPrice"]),
        "high24h": plain(t["highPrice"]),
        "low24h": plain(t["lowPrice"]),
        # OKX prints volumes with all eight decimals.
        "volCcy24h": t["quoteVolume"],
        "vol24h": t["volume"],
        "ts": str(t["closeTime"]),
        "sodUtc0": between(t["openPrice"], last, "0.37", t["lastPrice"]),
        "sodUtc8": between(t["openPrice"], last, "0.71", t["lastPrice"]),
    }


def bybit_entry(base, quote, t):
    last = Decimal(t["lastPrice"])
    opening = Decimal(t["openPrice"])
    fraction = (last - opening) / opening if opening > 0 else Decimal(0)
    index = between(t["lowPrice"], t["highPrice"], "0.5", t["lastPrice"]) if quote == "USDT" else ""
    return {
        "symbol": base + quote,
        "bid1Price": plain(t["bidPrice"]),
        "bid1Size": plain(t["bidQty"]),
        "ask1Price": plain(t["askPrice"]),
        "ask1Size": plain(t["askQty"]),
        "lastPrice": plain(t["lastPrice"]),
        "prevPrice24h": plain(t["openPrice"]),
        "price24hPcnt": plain(str(fraction.quantize(Decimal("0.0001")))),
        "highPrice24h": plain(t["highPrice"]),
        "lowPrice24h": plain(t["lowPrice"]),
        "turnover24h": plain(t["quoteVolume"]),
        "volume24h": plain(t["volume"]),
        "usdIndexPrice": index,
    }


def write(name, document):
    OUTPUT.mkdir(parents=True, exist_ok=True)
    text = json.dumps(document, separators=(",", ":"), ensure_ascii=False)
    (OUTPUT / name).write_bytes(text.encode("utf-8"))
    return len(text)


def main():
    tickers = json.loads(SOURCE.read_text(encoding="utf-8"))
    pairs, newest = active_pairs(tickers)

    okx = [okx_entry(b, q, t) for b, q, t in pairs if q in ("USDT", "USDC", "BTC", "ETH", "EUR")]
    okx_size = write("okx-tickers-spot.json", {"code": "0", "msg": "", "data": okx})

    bybit = [bybit_entry(b, q, t) for b, q, t in pairs
             if q in ("USDT", "USDC", "EUR") or (q == "BTC" and pick(t["symbol"], 16, 9))]
    bybit_size = write("bybit-tickers-spot.json", {
        "retCode": 0,
        "retMsg": "OK",
        "result": {"category": "spot", "list": bybit},
        "retExtInfo": {},
        "time": newest,
    })

    print(f"okx-tickers-spot.json: {len(okx)} instruments, {okx_size} bytes")
    print(f"bybit-tickers-spot.json: {len(bybit)} pairs, {bybit_size} bytes")


if __name__ == "__main__":
    main()
