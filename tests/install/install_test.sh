#!/usr/bin/env bash
# Installs the build tree into a temporary DESTDIR and checks what arrived:
# the expected files and nothing else, a valid desktop entry and AppStream
# metadata, icons of the right sizes, manual pages that render without a
# warning, programs that answer --version, and the command line's modules
# found where they were installed.
#   install_test.sh BUILD_DIR VERSION BINDIR DATADIR MANDIR LIBDIR
set -euo pipefail
build=$1 version=$2 bindir=$3 datadir=$4 mandir=$5 libdir=$6
fail() { echo "FAIL: $*" >&2; exit 1; }
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null
usr="$root/usr"
share="$usr/$datadir"

expected="$bindir/quenfort
$bindir/quenfort-cli
$libdir/quenfort/modules/quenfort-pictures.so
$libdir/quenfort/modules/quenfort-transfers.so
$datadir/applications/quenfort.desktop
$datadir/bash-completion/completions/quenfort-cli
$datadir/icons/hicolor/128x128/apps/quenfort.png
$datadir/icons/hicolor/256x256/apps/quenfort.png
$datadir/icons/hicolor/48x48/apps/quenfort.png
$datadir/icons/hicolor/scalable/apps/quenfort.svg
$datadir/doc/quenfort/changelog.gz
$datadir/doc/quenfort/copyright
$datadir/lintian/overrides/quenfort
$datadir/metainfo/org.quenfort.quenfort.metainfo.xml
$mandir/man1/quenfort-cli.1.gz
$mandir/man1/quenfort.1.gz"
listed=$(cd "$usr" && find . -type f | sed 's,^\./,,' | LC_ALL=C sort)
[ "$listed" = "$(echo "$expected" | LC_ALL=C sort)" ] ||
    fail "installed files differ:$(diff <(echo "$expected" | LC_ALL=C sort) <(echo "$listed"))"
[ -z "$(find "$root" -type f -not -path "$usr/*")" ] || fail "files outside the prefix"
# The changelog is compressed without a name or a time, so every build gives
# the same bytes, and reads as a Debian changelog of this version.
[ "$(gzip -dc "$share/doc/quenfort/changelog.gz" | head -n 1 | cut -d' ' -f1-2)" = "quenfort ($version)" ] ||
    fail "the changelog does not begin with this version"

desktop-file-validate "$share/applications/quenfort.desktop" || fail "desktop entry"
grep -qx "Exec=quenfort %f" "$share/applications/quenfort.desktop" || fail "Exec line"
grep -qx "Icon=quenfort" "$share/applications/quenfort.desktop" || fail "Icon line"
appstreamcli validate --no-net "$share/metainfo/org.quenfort.quenfort.metainfo.xml" ||
    fail "AppStream metadata"
grep -q "<release version=\"$version\"" "$share/metainfo/org.quenfort.quenfort.metainfo.xml" ||
    fail "the metadata does not name release $version"

for size in 48 128 256; do
    file "$share/icons/hicolor/${size}x$size/apps/quenfort.png" |
        grep -q "PNG image data, $size x $size, 8-bit/color RGBA" || fail "the $size pixel icon"
done
svg="$share/icons/hicolor/scalable/apps/quenfort.svg"
grep -q "<svg" "$svg" || fail "the SVG icon is no SVG"
# Drawn without text, so it needs no font where it is shown.
! grep -q "<text" "$svg" || fail "the SVG icon holds text"

for page in quenfort quenfort-cli; do
    man_file="$usr/$mandir/man1/$page.1.gz"
    rendered=$(MANWIDTH=80 LC_ALL=C.UTF-8 man --warnings -l "$man_file" 2>"$root/warnings") ||
        fail "man $page failed: $(cat "$root/warnings")"
    [ ! -s "$root/warnings" ] || fail "man $page warns: $(cat "$root/warnings")"
    grep -q "^NAME" <<<"$rendered" || fail "man $page has no NAME"
    grep -q -- "--version" <<<"$rendered" || fail "man $page does not name --version"
    grep -q "$page $version" <<<"$rendered" || fail "man $page does not name version $version"
done
# The command line's page holds every command with its own help.
cli_page=$(MANWIDTH=200 man -l "$usr/$mandir/man1/quenfort-cli.1.gz" 2>/dev/null)
for command in $("$usr/$bindir/quenfort-cli" --help | awk '/^  [a-z]/ { print $1 }'); do
    grep -q "^       $command" <<<"$cli_page" || fail "man quenfort-cli lacks $command"
done
grep -q "Reads layout designer commands from standard input" <<<"$cli_page" ||
    fail "man quenfort-cli lacks the commands' own help"

[ "$("$usr/$bindir/quenfort-cli" --version)" = "quenfort-cli $version" ] || fail "installed cli version"
# The installed program loads its picture module from where it was put.
mkdir "$root/site"
"$usr/$bindir/quenfort-cli" new-page "$root/site" index >/dev/null || fail "installed new-page"
checked=$("$usr/$bindir/quenfort-cli" check-site "$root/site" 2>&1) ||
    fail "installed check-site: $checked"
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$usr/$bindir/quenfort" --version)" = \
    "quenfort $version" ] || fail "installed editor version"
echo "ok"
