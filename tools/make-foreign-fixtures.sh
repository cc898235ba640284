#!/usr/bin/env bash
# Makes the foreign fixtures of tests/data/exchange from the sources beside them with an
# independent peer program (LibreOffice, Debian packages libreoffice-calc-nogui and
# libreoffice-base-drivers): CSV files in UTF-8, Windows-1252 and code page 850 with ",", ";"
# and tab, and dBase III tables with and without a memo file in both 8-bit code pages. Then it
# reads Vorlane's own exports (written by test_exchange into a folder) back through
# LibreOffice and Gnumeric's ssconvert (package gnumeric) and keeps what they show in
# peer-readback.txt. The tests and CI use only the committed files.
#
#   bash tools/make-foreign-fixtures.sh [build-folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
data=tests/data/exchange
src=$data/sources
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work # a profile of LibreOffice's own, thrown away afterwards

for tool in soffice ssconvert; do
  command -v "$tool" >/dev/null || { echo "needs $tool" >&2; exit 1; }
done

# LibreOffice's numbers of the character sets: 76 UTF-8, 1 Windows-1252, 4 code page 850.
convert() { # source, output name, output filter
  rm -rf "$work/out"
  soffice --headless --infilter="CSV:44,34,76,1" --convert-to "$3" --outdir "$work/out" \
    "$src/$1" >/dev/null 2>&1
  local made=("$work"/out/*)
  local base=${made[0]%.*}
  for f in "$base".*; do cp "$f" "$data/$2.${f##*.}"; done
}

for enc in utf8:76 ansi:1 oem:4; do
  for sep in comma:44 semicolon:59 tab:9; do
    convert cells.csv "lo-${enc%%:*}-${sep%%:*}" "csv:Text - txt - csv (StarCalc):${sep##*:},34,${enc##*:},1"
  done
done
for enc in ansi:1 oem:4; do
  convert cells.csv "lo-memo-${enc%%:*}" "dbf:dBase:${enc##*:}"
  convert short.csv "lo-plain-${enc%%:*}" "dbf:dBase:${enc##*:}"
done

# Our exports, read back by the peers.
exports=$work/exports
mkdir -p "$exports"
VORLANE_EXPORT_DIR=$exports "$build/test_exchange" --gtest_filter='ForeignFixtures.OurExportsReadBack' >/dev/null
{
  echo "# Vorlane's exports as LibreOffice and Gnumeric read them (made by tools/make-foreign-fixtures.sh)"
  for f in "$exports"/*.csv "$exports"/*.dbf; do
    name=$(basename "$f")
    case $name in
      *utf8*) lo="CSV:44,34,76,1" ;;
      *ansi*) lo="CSV:59,34,1,1" ;;
      *oem*) lo="CSV:9,34,4,1" ;;
      *dbf) lo="dBase" ;;
    esac
    case $name in *oem*.dbf) lo="dBase:4" ;; *.dbf) lo="dBase:1" ;; esac
    rm -rf "$work/back"
    soffice --headless --infilter="$lo" --convert-to "csv:Text - txt - csv (StarCalc):44,34,76,1" \
      --outdir "$work/back" "$f" >/dev/null 2>&1 || true
    echo "## $name through LibreOffice"
    cat "$work/back/"*.csv 2>/dev/null || echo "(nothing)"
    echo
    echo "## $name through ssconvert"
    ssconvert "$f" "$work/back/gnumeric.csv" >/dev/null 2>&1 && cat "$work/back/gnumeric.csv" ||
      echo "(nothing)"
    echo
  done
} >"$data/peer-readback.txt"
echo "fixtures and $data/peer-readback.txt written"
