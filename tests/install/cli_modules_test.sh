#!/usr/bin/env bash
# quenfort-cli starts without QtGui, libcurl and QtKeychain: it loads them as
# modules only for the commands that read pictures or publish. The modules
# beside the program load and work; a program without them says which one is
# missing and still runs every other command.
#   cli_modules_test.sh QUENFORT_CLI
set -euo pipefail
cli=$1
fail() { echo "FAIL: $*" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

needed=$(readelf -d "$cli" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
grep -q '^libQt6Core' <<<"$needed" || fail "quenfort-cli does not link QtCore: $needed"
for library in libQt6Gui libcurl libqt6keychain; do
    ! grep -q "^$library" <<<"$needed" || fail "quenfort-cli links $library"
done

mkdir "$work/site"
"$cli" new-page "$work/site" index >/dev/null || fail "new-page failed"
# A picture for the site check to measure: a 3 x 2 PNG.
python3 - "$work/site/dot.png" <<'PY'
import struct, sys, zlib
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
rows = b"".join(b"\0" + b"\xff\0\0" * 3 for _ in range(2))
png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 3, 2, 8, 2, 0, 0, 0)) +
       chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))
open(sys.argv[1], "wb").write(png)
PY
out=$("$cli" import-picture "$work/site" "$work/site/dot.png" 2>&1) || fail "import-picture: $out"
out=$("$cli" check-site "$work/site" 2>&1) || fail "check-site: $out"
grep -q "1 page checked" <<<"$out" || fail "check-site printed: $out"

# The program alone, its modules left behind.
mkdir "$work/alone"
cp "$cli" "$work/alone/"
alone="$work/alone/$(basename "$cli")"
status=0
out=$("$alone" check-site "$work/site" 2>&1) || status=$?
[ "$status" -eq 1 ] || fail "check-site without the module exited $status: $out"
grep -q "The module quenfort-pictures.so of quenfort-cli is missing" <<<"$out" ||
    fail "check-site without the module printed: $out"
# A server target (on a port nothing listens on: it is never reached).
"$alone" publish-target "$work/site" web sftp://127.0.0.1:1/site user=me >/dev/null ||
    fail "publish-target without the modules"
status=0
out=$(printf 'secret' | "$alone" publish "$work/site" --target=web --password-stdin 2>&1) ||
    status=$?
[ "$status" -eq 1 ] || fail "publish without the module exited $status: $out"
# Publishing renders the site's pictures and sends it: it needs both modules.
grep -Eq "The module quenfort-(pictures|transfers).so of quenfort-cli is missing" <<<"$out" ||
    fail "publish without the module printed: $out"
out=$("$alone" areas "$work/site/index.html" 2>&1) || fail "areas without the modules: $out"
[ -n "$out" ] || fail "areas printed nothing"
echo "ok"
