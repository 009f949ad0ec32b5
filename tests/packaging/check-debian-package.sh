#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package of a configured and built tree with CPack and checks
# what a user would get: its name, its files (the program, the widget host and
# its plug-in, the desktop entries, the icons and the AppStream metadata,
# nothing outside /usr and nothing of the tests), its dependencies (from
# dpkg-shlibdeps), its documentation (copyright, changelog, a manual page per
# program), that Debian's lintian finds no error or warning, that the unpacked
# program answers --version and --help and that the unpacked host finds its
# plug-in. Packages leave the update checker out (updates come through apt), so
# a tree configured with it is skipped.
#
# usage: check-debian-package.sh <build dir> <version>
set -euo pipefail

build_dir=$1
version=$2
app_id=org.vantrell.Vantrell
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

if ! grep -qx 'VANTRELL_UPDATE_CHECKS:BOOL=OFF' "$build_dir/CMakeCache.txt"; then
    echo "SKIP: packages are built with -DVANTRELL_UPDATE_CHECKS=OFF (the ci preset), this tree has the update checker"
    exit 77
fi

cpack -G DEB -B "$work/out" --config "$build_dir/CPackConfig.cmake" >"$work/cpack.log" 2>&1 \
    || { cat "$work/cpack.log" >&2; fail "cpack did not build the package"; }

arch=$(dpkg --print-architecture)
deb="$work/out/vantrell_${version}_${arch}.deb"
[[ -f "$deb" ]] || { ls -R "$work/out" >&2; fail "no $deb"; }
echo "built $(basename "$deb") ($(stat -c %s "$deb") bytes)"

dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$work/files"
for expected in \
    /usr/bin/vantrell \
    /usr/bin/vantrell-widget-host \
    "/usr/share/applications/$app_id.desktop" \
    "/usr/share/applications/$app_id.WidgetHost.desktop" \
    "/usr/share/metainfo/$app_id.metainfo.xml" \
    "/usr/share/icons/hicolor/scalable/apps/$app_id.svg" \
    "/usr/share/icons/hicolor/symbolic/apps/$app_id-symbolic.svg" \
    /usr/share/doc/vantrell/copyright \
    /usr/share/doc/vantrell/changelog.gz \
    /usr/share/man/man1/vantrell.1.gz \
    /usr/share/man/man1/vantrell-widget-host.1.gz \
    /usr/share/plasma/plasmoids/org.vantrell.ticker/metadata.json \
    /usr/share/plasma/plasmoids/org.vantrell.ticker/contents/ui/main.qml \
    /usr/share/plasma/plasmoids/org.vantrell.ticker/contents/locale/zh_CN/LC_MESSAGES/plasma_applet_org.vantrell.ticker.mo \
    /usr/share/gnome-shell/extensions/vantrell@vantrell.org/metadata.json \
    /usr/share/gnome-shell/extensions/vantrell@vantrell.org/extension.js; do
    grep -qxF "$expected" "$work/files" || fail "$expected is not in the package"
done
grep -qE '^/usr/lib/([^/]+/)?vantrell/widgets/libvantrell-widgets\.so$' "$work/files" \
    || fail "the widget plug-in is not in the package"
if grep -v -e '^/usr/' -e '^/$' "$work/files"; then
    fail "files outside /usr (above)"
fi
if grep -E -e '/tst_' -e 'fake-market' -e '/include/' "$work/files"; then
    fail "test programs or headers in the package (above)"
fi

[[ $(dpkg-deb -f "$deb" Package) == vantrell ]] || fail "package name"
[[ $(dpkg-deb -f "$deb" Version) == "$version" ]] || fail "version $(dpkg-deb -f "$deb" Version)"
[[ $(dpkg-deb -f "$deb" Architecture) == "$arch" ]] || fail "architecture"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
# From dpkg-shlibdeps: every Qt module the program links, with versions.
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libqt6dbus6 libqt6svg6; do
    grep -qE "(^|, )${library//+/\\+} \(>= [^)]+\)" <<<"$depends" || fail "no versioned dependency on $library"
done
grep -qE "(^|, )fonts-dejavu-core" <<<"$depends" || fail "no dependency on fonts-dejavu-core"

# What a Debian maintainer runs first: no error and no warning.
if ! lintian --fail-on error,warning --display-level '>=warning' "$deb" >"$work/lintian.log" 2>&1; then
    cat "$work/lintian.log" >&2
    fail "lintian"
fi
echo "lintian: no error, no warning"

dpkg-deb -x "$deb" "$work/root"
# The manual pages say what --help says.
for program in vantrell vantrell-widget-host; do
    zcat "$work/root/usr/share/man/man1/$program.1.gz" | grep -q -- 'version' || fail "$program.1 has no --version"
done
zcat "$work/root/usr/share/man/man1/vantrell-widget-host.1.gz" | grep -q -- 'genmon' \
    || fail "vantrell-widget-host.1 does not describe --print"
desktop-file-validate "$work/root/usr/share/applications/$app_id.desktop"
desktop-file-validate "$work/root/usr/share/applications/$app_id.WidgetHost.desktop"
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net --pedantic "$work/root/usr/share/metainfo/$app_id.metainfo.xml" >"$work/appstream.log" 2>&1 \
        || { cat "$work/appstream.log" >&2; fail "AppStream metadata"; }
fi

# No display, no bus: --version and --help must still answer.
program="$work/root/usr/bin/vantrell"
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --version)
[[ "$out" == "vantrell $version" ]] || fail "--version said: $out"
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --help)
grep -q -- '--version' <<<"$out" && grep -q 'vantrell://popover' <<<"$out" || fail "--help said: $out"

# The installed host finds the installed plug-in and lists both widget kinds.
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$work/root/usr/bin/vantrell-widget-host" --list)
grep -q '"WatchlistWidget"' <<<"$out" && grep -q '"CoinPriceWidget"' <<<"$out" || fail "--list said: $out"
echo "PASS"
