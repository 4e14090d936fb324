#!/usr/bin/env bash
# Converts every style we know (tests/data, examples, and the styles inside
# mkgmap's own jar) with Include Tag Text off and on, and with the include
# files sorted by the rule files that include them, and compiles each TYP text
# with mkgmap (after our own reader has found no problem in it); then compiles
# the golden tests' expected texts, and each library file of res/ behind a
# header. Fails when any conversion or compile fails.
set -uo pipefail
cli=$1
src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

styles=()
# Styles among their siblings sit in a case's styles/ folder.
for d in "$src"/tests/data/*/ "$src"/tests/data/*/styles/*/ "$src"/examples/*/; do
  [ -d "$d" ] && styles+=("${d%/}")
done
jar=/usr/share/mkgmap/mkgmap.jar
if [ -f "$jar" ]; then
  mkdir -p "$work/jar"
  (cd "$work/jar" && cmake -E tar xf "$jar" styles) || { echo "cannot extract $jar"; exit 1; }
  for d in "$work"/jar/styles/*/; do styles+=("${d%/}"); done
fi

failed=0
passed=0
n=0
for style in "${styles[@]}"; do
  # A style folder without any rule file is a test of the error path, not a style.
  ls "$style" | grep -qiE '^(points|lines|polygons)$' || continue
  for options in "" "--tag-text" "--auto-inc --tag-text"; do
    n=$((n + 1))
    dir="$work/run$n"
    mkdir -p "$dir"
    out="$dir/out.txt"
    "$cli" -q --seed 1 $options -o "$out" "$style" >"$dir/cli.log" 2>&1
    status=$?
    # Exit 1 with a text written: a file of the style could not be read (a test of that path); the text must still compile.
    if [ "$status" -ne 0 ] && ! { [ "$status" -eq 1 ] && [ -f "$out" ] && grep -q 'written but incomplete' "$dir/cli.log"; }; then
      echo "FAIL conversion: $style $options"; cat "$dir/cli.log"; failed=$((failed + 1)); continue
    fi
    if ! "$cli" --check "$out" >"$dir/check.log" 2>&1; then
      echo "FAIL check: $style $options"; cat "$dir/check.log"; failed=$((failed + 1)); continue
    fi
    if (cd "$dir" && mkgmap --family-id=12345 --code-page=1252 out.txt >"$dir/mkgmap.log" 2>&1) && [ -f "$dir/out.typ" ]; then
      passed=$((passed + 1))
    else
      echo "FAIL mkgmap: $style $options"; tail -5 "$dir/mkgmap.log"; failed=$((failed + 1))
    fi
  done
done
# The texts the golden tests expect, written with their own options and
# library folders (broken ones among them), must compile as they stand.
for typ in "$src"/tests/data/*/expect/typ.txt "$src"/tests/data/*/expect/looks/typ.txt; do
  [ -f "$typ" ] || continue
  n=$((n + 1))
  dir="$work/run$n"
  mkdir -p "$dir"
  cp "$typ" "$dir/out.txt"
  if (cd "$dir" && mkgmap --family-id=12345 --code-page=1252 out.txt >"$dir/mkgmap.log" 2>&1) && [ -f "$dir/out.typ" ]; then
    passed=$((passed + 1))
  else
    echo "FAIL mkgmap: expected text $typ"; tail -5 "$dir/mkgmap.log"; failed=$((failed + 1))
  fi
done
# Each library file on its own, behind a header, must compile too.
for lib in "$src"/res/*; do
  n=$((n + 1))
  dir="$work/run$n"
  mkdir -p "$dir"
  { printf '[_id]\r\nFID=12345\r\nProductCode=1\r\nCodePage=1252\r\n[end]\r\n\r\n'; cat "$lib"; } >"$dir/out.txt"
  if (cd "$dir" && mkgmap --family-id=12345 --code-page=1252 out.txt >"$dir/mkgmap.log" 2>&1) && [ -f "$dir/out.typ" ]; then
    passed=$((passed + 1))
  else
    echo "FAIL mkgmap: library $lib"; tail -5 "$dir/mkgmap.log"; failed=$((failed + 1))
  fi
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
