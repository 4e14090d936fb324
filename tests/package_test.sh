#!/usr/bin/env bash
# The Debian package as it would be installed: unpacked into a temporary root,
# its tessaro-cli (finding the library files in ../share/tessaro/res) writes
# the same TYP text as the build's; its desktop entry, AppStream data and
# manual pages pass their validators.
set -euo pipefail
cd "$(dirname "$0")/.."
deb=$(ls build/tessaro_*_amd64.deb)
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
[ ! -e "$root/usr/bin/res" ] || { echo "the package put res/ beside the programs" >&2; exit 1; }
"$root/usr/bin/tessaro-cli" -q --seed 1 --auto-inc -o "$root/packaged.txt" examples/alpine
build/tessaro-cli -q --seed 1 --auto-inc -o "$root/built.txt" examples/alpine
cmp "$root/packaged.txt" "$root/built.txt"
grep -q '^\[_point\]' "$root/packaged.txt"
desktop-file-validate "$root"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.xml >"$root/appstream.log"
for page in "$root"/usr/share/man/man1/*.1; do
  # man -l renders the page; with --warnings groff's complaints go to stderr.
  out=$(MANPAGER=cat MANWIDTH=80 man --warnings -l "$page" 2>"$root/man.err")
  grep -q '^NAME' <<<"$out" || { echo "$page: no NAME section rendered" >&2; exit 1; }
  if [ -s "$root/man.err" ]; then echo "$page:" >&2; cat "$root/man.err" >&2; exit 1; fi
done
test -s "$root/usr/share/tessaro/README.md"
echo "package: $(basename "$deb") unpacks, converts as the build does, and validates"
