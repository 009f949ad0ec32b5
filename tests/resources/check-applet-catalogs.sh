#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
#
# check-applet-catalogs.sh PLASMA_DIR: each of the Plasma applet's catalogs
# (PLASMA_DIR/po/LANGUAGE/) passes msgfmt's checks and translates exactly the
# texts the applet's QML passes to i18n(), and the applet's metadata names it
# in that language.
set -uo pipefail

dir=$1
applet=org.vantrell.ticker
texts=$(grep -rhoP --include='*.qml' 'i18n\("\K[^"]+' "$dir/$applet/contents" | sort -u)
[[ -n $texts ]] || { echo "FAIL: the applet's QML has no i18n() texts"; exit 1; }

status=0
catalogs=0
for po in "$dir"/po/*/"plasma_applet_$applet.po"; do
    [[ -f $po ]] || continue
    catalogs=$((catalogs + 1))
    language=$(basename "$(dirname "$po")")
    msgfmt --check -o /dev/null "$po" || { echo "FAIL: msgfmt rejects $po"; status=1; }
    translated=$(msgattrib --translated --no-fuzzy --no-obsolete --no-wrap "$po" \
        | sed -n 's/^msgid "\(.\+\)"$/\1/p' | sort -u)
    if [[ $translated != "$texts" ]]; then
        echo "FAIL: $language: the translated texts (>) differ from the applet's (<):"
        diff <(echo "$texts") <(echo "$translated")
        status=1
    fi
    grep -q "\"Name\[$language\]\"" "$dir/$applet/metadata.json" \
        || { echo "FAIL: metadata.json has no Name[$language]"; status=1; }
done
((catalogs > 0)) || { echo "FAIL: no catalogs under $dir/po"; exit 1; }
((status == 0)) && echo "$catalogs catalogs translate the applet's $(wc -l <<< "$texts") texts"
exit $status
