#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Builds the bundled coin catalog from the recorded CoinGecko lists.

Reads data/recorded/coingecko-coins-2026-08.json (ids, symbols, names, ranks)
and data/recorded/coingecko-markets-2022-07.json (logo addresses, and the
records of coins that have since migrated or lost their markets), and writes
resources/bundle/coins.json and resources/bundle/recommendedCoins.json.

Which coins are offered:
- listed: coins a person would put on a price ticker, down to a rank cut-off,
  plus older coins that still had a live USDT market on Binance (recorded
  2024-03), which the exchanges keep quoting;
- left out: tokenised shares, funds and receivables, wrapped, bridged and
  staked copies of another asset, Bittensor subnet tokens, and symbols the
  exchanges cannot quote (non-ASCII, dots, colons);
- unlisted but active: a few large stablecoins, kept so that a watchlist that
  names them still resolves;
- migrated: coins whose holders were moved to a successor token;
- delisted: coins whose markets closed.

Usage: python3 tools/catalog/make_catalog.py [--check]
  --check  only verify that the committed files match what would be written.
"""

import json
import re
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
RECORDED = ROOT / "data" / "recorded"
BUNDLE = ROOT / "resources" / "bundle"

# Listed coins end at this 2026 rank unless Binance still quoted them.
RANK_CUTOFF = 700

ALLOWED_LOGO_HOSTS = {"coin-images.coingecko.com", "assets.coingecko.com"}

ID_PATTERN = re.compile(r"[a-z0-9][a-z0-9-]{0,79}")
SYMBOL_PATTERN = re.compile(r"[A-Z0-9]{1,15}")

# Tokenised shares, funds, receivables, indices and vault shares.
NON_COIN_ID = re.compile(
    r"xstock|bstock|tokenized|tokenised|^tradable-|^na-|securitize|spiko|janus-henderson|"
    r"^blackrock-|^midas-|-fund\b|treasury|-etf\b|prestocks|pre-ipo|backpack-securities|"
    r"robinhood|reality-protocol|-vault\b|vault-token|-ssi$|index|^eutbl$|^ousg$|^safo$|"
    r"^ylds$|^onyc$|^usyc$|hashnote|^ustb|superstate|apollo-diversified|^acred|warrants|"
    r"multi-asset-investment|private-aviation|^cets-on|^hinc|^nuva-|^vcred$|^wrappedm|"
    r"^fidelity-digital-interest|^blockchain-capital$")
# Wrapped, bridged, staked and otherwise derived copies of another asset.
DERIVED_ID = re.compile(r"wrapped|bridged|staked|staking|restaked|liquid-staking|^bitget-wrapped|"
                        r"^strkbtc$|^xhype|^seth$|^kelp-gain$|^dialectic|^shmonad$|^fx-usd-saving$")
SUBNET_SYMBOL = re.compile(r"SN\d+")

# Coins past the rank cut-off whose symbol Binance quoted, checked to be the
# same project (the 2022 list confirms the others).
VERIFIED_BINANCE_IDS = {"cyberconnect", "arpa", "xai-blockchain", "space-id", "og-fan-token",
                        "maverick-protocol", "dymension", "hashflow", "quickswap", "fc-porto", "pixels",
                        "ac-milan-fan-token"}

# Coins pegged to a fiat currency. Only these three are offered for the
# watchlist: USDT is the quote currency of every price, USDC and DAI are the
# other two that people commonly hold.
LISTED_STABLECOINS = {"tether", "usd-coin", "dai"}
# Kept unlisted so that a watchlist naming them still resolves.
UNLISTED_STABLECOINS = {"usds", "ethena-usde", "usd1-wlfi", "paypal-usd", "ripple-usd",
                        "first-digital-usd", "true-usd", "euro-coin"}
STABLECOIN_ID = re.compile(
    r"usd|dollar|euro|eurc|jpy|sgd|brl|chf|gbp|cnh|tryb|bilira|^gho$|^dola|^frax$|^a7a5$|"
    r"^united-stables$|^usx$|^usa$|^gusd$|^xsgd$|^djed$|^zarp|^kgst|^mimatic$|^brz$|^usdtb$|"
    r"^usdd$|^bfusd$|^usdgo$|^usdai$|^usdb$|^usdh|^usdu$|^usdkg$|^usda|^usdx|^nusd|^usdz|"
    r"^jpysc$|^jpycoin$|^jpyc$|^jpy-coin$|^crvusd$|^apxusd$|^sofiusd$|^apyusd$|^bitcastle|"
    r"^falcon-finance$|^helio-protocol-hay$|^alloy-tether$|^honey-")
# Gold and silver tokens other than the two large ones the exchanges quote.
METAL_ID = re.compile(r"kinesis|matrixdock|goldfish|pleasing-gold|goldzip|vnx-gold|ditgold|"
                      r"dgld|gold-token|stairway-to-gold|dominion-silver|unitas-gold")

# Holders of the old token were moved to the new one. Old ids are CoinGecko's
# (they appear in the 2022 list); every successor is active in the 2026 list.
MIGRATIONS = {
    "matic-network": "polygon-ecosystem-token",  # MATIC -> POL, 2024
    "fantom": "sonic-3",                  # FTM -> S, 2025
    "eos": "vaulta",                      # EOS -> A, 2025
    "klay-token": "kaia",                 # KLAY -> KAIA (Klaytn and Finschia merged), 2024
    "bitdao": "mantle",                   # BIT -> MNT, 2023
    "maker": "sky",                       # MKR -> SKY upgrade, 2024
    "polymath": "polymesh",               # POLY -> POLYX upgrade, 2021
    "ethlend": "aave",                    # LEND -> AAVE, 2020
    "singularitynet": "fetch-ai",         # AGIX -> FET (Artificial Superintelligence Alliance), 2024
    "lukso-token": "lukso-token-2",       # LYXE (ERC-20) -> native LYX, 2023
    "dydx": "dydx-chain",                 # ethDYDX -> DYDX on the dYdX chain, 2023
}

# Coins whose markets closed: the exchanges delisted them.
DELISTED = [
    "binance-usd",        # BUSD, discontinued 2023, pairs removed by Binance
    "multichain",         # MULTI, bridge collapsed 2023
    "anchor-protocol",    # ANC, Terra collapse 2022
    "mirror-protocol",    # MIR, Terra collapse 2022
    "serum",              # SRM, FTX collapse 2022
]

# Shown first in the watchlist editor's strip of recommended coins (symbols,
# matched against listed coins).
RECOMMENDED_SYMBOLS = ["BTC", "ETH", "BNB", "SOL", "ZEC", "HYPE", "BCH", "LTC", "UNI", "AAVE",
                       "XRP", "DOGE", "ADA", "LINK"]

ZERO_WIDTH = "\u200b\u200c\u200d\u2060\ufeff"


def clean_name(name):
    return name.strip().strip(ZERO_WIDTH).strip()


def load_json(path):
    with open(path, encoding="utf-8") as f:
        return json.load(f)


def logo_url(image):
    if not image:
        return None
    match = re.match(r"https://([^/?#]+)/", image)
    if not match or match.group(1) not in ALLOWED_LOGO_HOSTS:
        return None
    return image


def exclusion_reason(coin):
    coin_id, symbol = coin["id"], coin["symbol"]
    if not ID_PATTERN.fullmatch(coin_id):
        return "id"
    if not SYMBOL_PATTERN.fullmatch(symbol):
        return "symbol"
    if SUBNET_SYMBOL.fullmatch(symbol):
        return "subnet"
    if "[OLD]" in coin["name"]:
        # CoinGecko's record of a token replaced by a new contract; the exchanges quote the new one.
        return "superseded"
    if NON_COIN_ID.search(coin_id):
        return "non-coin"
    if DERIVED_ID.search(coin_id):
        return "derived"
    if METAL_ID.search(coin_id):
        return "metal"
    if coin_id in LISTED_STABLECOINS or coin_id in UNLISTED_STABLECOINS:
        return None
    if STABLECOIN_ID.search(coin_id):
        return "stablecoin"
    return None


def still_quoted(coin, old, binance_live):
    """Whether Binance still quoted this coin, not merely another coin with its symbol."""
    if coin["symbol"] not in binance_live:
        return False
    earlier = old.get(coin["id"])
    return coin["id"] in VERIFIED_BINANCE_IDS or (earlier is not None and earlier["symbol"].upper() == coin["symbol"])


def record(coin_id, symbol, name, rank, logo, status, listed, migrated_to=None):
    out = {"id": coin_id, "symbol": symbol, "name": clean_name(name)}
    if rank is not None:
        out["rank"] = rank
    if logo:
        out["logoURL"] = logo
    out["status"] = status
    out["listed"] = listed
    if migrated_to:
        out["migratedTo"] = migrated_to
    return out


def build():
    current = load_json(RECORDED / "coingecko-coins-2026-08.json")["coins"]
    old = {c["id"]: c for c in load_json(RECORDED / "coingecko-markets-2022-07.json")}
    tickers = load_json(RECORDED / "binance-ticker-24hr-2024-03.json")
    binance_live = {t["symbol"][:-4] for t in tickers if t["symbol"].endswith("USDT") and t["count"] > 0}

    special = set(MIGRATIONS) | set(DELISTED)
    records = []
    active_symbols = {}
    clashes = []
    for coin in sorted(current, key=lambda c: (c["market_cap_rank"], c["id"])):
        coin_id, symbol, rank = coin["id"], coin["symbol"], coin["market_cap_rank"]
        if coin_id in special or exclusion_reason(coin):
            continue
        if coin_id not in LISTED_STABLECOINS | UNLISTED_STABLECOINS | set(MIGRATIONS.values()):
            if rank > RANK_CUTOFF and not still_quoted(coin, old, binance_live):
                continue
        if symbol in active_symbols:
            # The higher-ranked coin keeps the symbol; the exchanges quote it under that name.
            clashes.append((coin_id, active_symbols[symbol]))
            continue
        active_symbols[symbol] = coin_id
        listed = coin_id not in UNLISTED_STABLECOINS
        image = (old.get(coin_id) or {}).get("image")
        records.append(record(coin_id, symbol, coin["name"], rank, logo_url(image), "active", listed))

    by_id_current = {c["id"]: c for c in current}
    for coin_id, target in MIGRATIONS.items():
        source = by_id_current.get(coin_id) or old[coin_id]
        rank = by_id_current[coin_id]["market_cap_rank"] if coin_id in by_id_current else None
        symbol = source["symbol"].upper()
        image = (old.get(coin_id) or {}).get("image")
        records.append(record(coin_id, symbol, source["name"], rank, logo_url(image), "migrated", False, target))
    for coin_id in DELISTED:
        source = old[coin_id]
        records.append(record(coin_id, source["symbol"].upper(), source["name"], None,
                              logo_url(source.get("image")), "delisted", False))

    records.sort(key=lambda r: (r.get("rank", 2**63 - 1), r["id"]))
    return records, clashes


def validate(records):
    """The catalog's own loading rules; the program rejects a file that breaks any."""
    problems = []
    by_id = {}
    for r in records:
        by_id.setdefault(r["id"], r)
    if len(by_id) != len(records):
        problems.append("duplicate id")
    listed = sum(1 for r in records if r["listed"])
    if not 200 <= listed <= 1000:
        problems.append(f"listed count {listed}")
    for required in ("bitcoin", "ethereum"):
        r = by_id.get(required)
        if not r or not r["listed"] or r["status"] != "active":
            problems.append(f"missing tradable {required}")
    active = [r["symbol"] for r in records if r["status"] == "active"]
    if len(set(active)) != len(active):
        problems.append("duplicate active symbol")
    for r in records:
        if not ID_PATTERN.fullmatch(r["id"]):
            problems.append(f"{r['id']}: id")
        if not SYMBOL_PATTERN.fullmatch(r["symbol"]):
            problems.append(f"{r['id']}: symbol")
        # Code points bound grapheme clusters from above; the names here are short.
        if not r["name"] or len(r["name"]) > 60:
            problems.append(f"{r['id']}: name")
        if "rank" in r and r["rank"] < 1:
            problems.append(f"{r['id']}: rank")
        if "logoURL" in r and not logo_url(r["logoURL"]):
            problems.append(f"{r['id']}: logo host")
        if r["listed"] and r["status"] != "active":
            problems.append(f"{r['id']}: listed but not active")
        if r["status"] == "migrated":
            target = by_id.get(r.get("migratedTo"))
            if not target:
                problems.append(f"{r['id']}: migratedTo missing")
            elif target["status"] != "active":
                problems.append(f"{r['id']}: migration target not active")
    return problems


def render_catalog(records):
    lines = ",\n".join("    " + json.dumps(r, ensure_ascii=False) for r in records)
    return '{\n  "schemaVersion": 1,\n  "coins": [\n' + lines + "\n  ]\n}\n"


def recommended(records):
    listed = {r["symbol"] for r in records if r["listed"] and r["status"] == "active"}
    missing = [s for s in RECOMMENDED_SYMBOLS if s not in listed]
    if missing:
        raise SystemExit(f"recommended symbols without a listed coin: {missing}")
    return json.dumps(RECOMMENDED_SYMBOLS) + "\n"


def main():
    check = "--check" in sys.argv[1:]
    records, clashes = build()
    problems = validate(records)
    if problems:
        raise SystemExit("catalog breaks its rules:\n  " + "\n  ".join(problems))
    outputs = {BUNDLE / "coins.json": render_catalog(records), BUNDLE / "recommendedCoins.json": recommended(records)}
    if check:
        stale = [p.name for p, text in outputs.items() if not p.exists() or p.read_text(encoding="utf-8") != text]
        if stale:
            raise SystemExit("out of date: " + ", ".join(stale))
    else:
        for path, text in outputs.items():
            path.write_text(text, encoding="utf-8")
    listed = sum(1 for r in records if r["listed"])
    print(f"{len(records)} records, {listed} listed, {len(clashes)} symbol clashes dropped", file=sys.stderr)
    for dropped, kept in clashes:
        print(f"  dropped {dropped} (symbol taken by {kept})", file=sys.stderr)


if __name__ == "__main__":
    main()
