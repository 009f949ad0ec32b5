#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Copy coin logos from the cryptocurrency-icons package into the bundle.

The program ships a logo for the best-known coins so that most users never
download one. The logos come from the npm package cryptocurrency-icons 0.18.1
(CC0-1.0), whose colour SVGs are named by lower-case ticker symbol. A symbol
names a coin only loosely, so a logo is taken for a catalog coin only when:

  * the coin is active and among the top coins of coins.json by rank;
  * it is the highest-ranked active coin with that symbol, and no other listed
    coin has the symbol;
  * the icon set's name for the symbol agrees with the catalog's name (or the
    pair is a known rename of the same asset, see SAME_ASSET), and the symbol
    is not a known collision where the icon set means another asset
    (see OTHER_ASSET).

Writes resources/bundle/images/coin-<id>.svg (removing coin-*.svg files that
are no longer chosen), resources/bundle/images/coinimages.cmake (the list of
bundle files for CMake) and resources/bundle/licenses/cryptocurrency-icons.txt.
"""

import argparse
import json
import re
import sys
import xml.etree.ElementTree as ElementTree
from pathlib import Path

PACKAGE_NAME = "cryptocurrency-icons"
PACKAGE_VERSION = "0.18.1"
PACKAGE_LICENSE = "CC0-1.0"
DEFAULT_TOP = 250

# Catalog id -> the icon set's name, for assets that were renamed after the
# icon set named them.
SAME_ASSET = {
    "binancecoin": "Binance Coin",
    "leo-token": "Unus Sed LEO",
    "proton": "Proton",
}

# Symbol -> why the icon set's logo for it is another asset than the catalog's
# coin, although the names look alike.
OTHER_ASSET = {
    "BEAM": "the icon set's BEAM is the Mimblewimble privacy coin, not the Beam gaming network token",
    "SAFE": "the icon set's SAFE is another project than SAFEbit",
    "SKY": "the icon set's SKY is Skycoin, not Sky (formerly Maker)",
}

EPILOG = f"""\
Getting the package (it is not committed; only the chosen images are):
  tmp=$(mktemp -d) && cd "$tmp"
  npm pack {PACKAGE_NAME}@{PACKAGE_VERSION}
  tar -xzf {PACKAGE_NAME}-{PACKAGE_VERSION}.tgz
  python3 <repo>/tools/logos/bundle_icons.py "$tmp/package"
"""

SVG_NAMESPACE = "{http://www.w3.org/2000/svg}"
# Elements that could fetch or run something when an SVG is rendered.
FORBIDDEN_ELEMENTS = {"script", "foreignObject", "image"}


def normalized(name):
    return re.sub(r"[^a-z0-9]", "", name.lower())


def names_agree(catalog_name, icon_name):
    a, b = normalized(catalog_name), normalized(icon_name)
    return bool(a) and bool(b) and (a == b or a in b or b in a)


def rank_key(coin):
    rank = coin.get("rank")
    return (rank if isinstance(rank, int) else sys.maxsize, coin["id"])


def check_svg(path):
    """Returns why the SVG is unfit, or None."""
    try:
        root = ElementTree.parse(path).getroot()
    except ElementTree.ParseError as error:
        return f"not well-formed XML ({error})"
    if root.tag != SVG_NAMESPACE + "svg":
        return "root element is not <svg>"
    for element in root.iter():
        local = element.tag.rsplit("}", 1)[-1]
        if local in FORBIDDEN_ELEMENTS:
            return f"contains <{local}>"
        if local == "style" and re.search(r"@import|url\(\s*['\"]?[^#'\"\s]", element.text or ""):
            return "style sheet refers to an outside resource"
        for attribute, value in element.attrib.items():
            if attribute.rsplit("}", 1)[-1] == "href" and not value.startswith("#"):
                return "refers to an outside resource"
    return None


def choose(coins, manifest, svg_dir, top):
    """Returns ([(coin, svg path)], [skip reasons])."""
    ordered = sorted(coins, key=rank_key)
    listed_symbols = {}
    first_active = {}
    for coin in ordered:
        if coin.get("listed"):
            listed_symbols[coin["symbol"]] = listed_symbols.get(coin["symbol"], 0) + 1
        if coin.get("status") == "active":
            first_active.setdefault(coin["symbol"], coin["id"])
    icon_names = {entry["symbol"].upper(): entry["name"] for entry in manifest}

    # Active coins that are no longer listed can still be on a watchlist.
    candidates = [c for c in ordered if c.get("status") == "active"][:top]
    chosen, skipped = [], []
    for coin in candidates:
        symbol = coin["symbol"]
        svg = svg_dir / f"{symbol.lower()}.svg"
        if not svg.is_file():
            continue
        icon_name = icon_names.get(symbol, "")
        why = None
        if first_active.get(symbol) != coin["id"]:
            why = "not the highest-ranked active coin with its symbol"
        elif listed_symbols.get(symbol, 0) - (1 if coin.get("listed") else 0) > 0:
            why = "symbol shared with another listed coin"
        elif symbol in OTHER_ASSET:
            why = OTHER_ASSET[symbol]
        elif not names_agree(coin["name"], icon_name) and SAME_ASSET.get(coin["id"]) != icon_name:
            why = f"icon set names {symbol} \"{icon_name}\""
        else:
            why = check_svg(svg)
        if why:
            skipped.append(f"{coin['id']} ({symbol}): {why}")
        else:
            chosen.append((coin, svg))
    return chosen, skipped


def write_if_changed(path, data):
    if path.exists() and path.read_bytes() == data:
        return
    path.parent.mkdir(parents=True, exist_ok=True)
    temporary = path.with_name(path.name + ".tmp")
    temporary.write_bytes(data)
    temporary.replace(path)


def cmake_list(chosen):
    lines = [
        "# SPDX-License-Identifier: GPL-3.0-or-later",
        "# Generated by tools/logos/bundle_icons.py; do not edit.",
        f"# Coin logos from {PACKAGE_NAME} {PACKAGE_VERSION} ({PACKAGE_LICENSE}), relative to resources/bundle.",
        "set(VANTRELL_COIN_IMAGE_FILES",
    ]
    lines += [f"    images/coin-{coin['id']}.svg" for coin, _ in sorted(chosen, key=lambda item: item[0]["id"])]
    lines += ["    licenses/cryptocurrency-icons.txt)", ""]
    return "\n".join(lines).encode()


def main():
    parser = argparse.ArgumentParser(
        description=__doc__, epilog=EPILOG, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("package", type=Path, help=f"the unpacked {PACKAGE_NAME} package (the folder 'package')")
    parser.add_argument("--repo", type=Path, default=Path(__file__).resolve().parents[2],
                        help="the Vantrell source tree (default: the one holding this script)")
    parser.add_argument("--top", type=int, default=DEFAULT_TOP,
                        help=f"how many active coins, by rank, may get a bundled logo (default {DEFAULT_TOP})")
    parser.add_argument("--dry-run", action="store_true", help="report the choice without writing anything")
    parser.add_argument("--verbose", action="store_true", help="also list the coins that were left out, and why")
    args = parser.parse_args()

    package_json = json.loads((args.package / "package.json").read_text())
    if package_json.get("name") != PACKAGE_NAME or package_json.get("version") != PACKAGE_VERSION:
        sys.exit(f"expected {PACKAGE_NAME} {PACKAGE_VERSION}, found "
                 f"{package_json.get('name')} {package_json.get('version')}")
    if package_json.get("license") != PACKAGE_LICENSE:
        sys.exit(f"expected the license {PACKAGE_LICENSE}, found {package_json.get('license')}")
    license_file = args.package / "LICENSE.md"
    if not license_file.is_file():
        sys.exit(f"{license_file} is missing")

    bundle = args.repo / "resources" / "bundle"
    catalog = json.loads((bundle / "coins.json").read_text())
    manifest = json.loads((args.package / "manifest.json").read_text())
    chosen, skipped = choose(catalog["coins"], manifest, args.package / "svg" / "color", args.top)

    print(f"{len(chosen)} of the top {args.top} active coins get a bundled logo")
    if args.verbose:
        for line in skipped:
            print(f"  left out: {line}")
    if args.dry_run:
        for coin, svg in chosen:
            print(f"  {coin['id']} <- {svg.name}")
        return

    images = bundle / "images"
    wanted = {f"coin-{coin['id']}.svg" for coin, _ in chosen}
    for stale in images.glob("coin-*.svg"):
        if stale.name not in wanted:
            stale.unlink()
    for coin, svg in chosen:
        write_if_changed(images / f"coin-{coin['id']}.svg", svg.read_bytes())
    write_if_changed(images / "coinimages.cmake", cmake_list(chosen))
    header = (f"Coin logos (images/coin-*.svg): {PACKAGE_NAME} {PACKAGE_VERSION}, "
              f"license {PACKAGE_LICENSE}\n\n").encode()
    write_if_changed(bundle / "licenses" / "cryptocurrency-icons.txt", header + license_file.read_bytes())


if __name__ == "__main__":
    main()
