#!/usr/bin/env bash
# Makes the foreign Excel 2003 XML fixtures of tests/data/excelxml/foreign from the flat
# spreadsheets in tools/fixtures (excelxml-*.fods) with LibreOffice's "MS Excel 2003 XML"
# export, and reads our own golden export (tests/data/excelxml/ours.xml) back through
# LibreOffice and Gnumeric's ssconvert, printing what they see as CSV. Needs the Debian
# packages libreoffice-calc-nogui and gnumeric; CI needs neither: the fixtures are committed.
set -euo pipefail
cd "$(dirname "$0")/.."
out=tests/data/excelxml/foreign
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for source in tools/fixtures/excelxml-*.fods; do
  soffice --headless -env:UserInstallation=file://"$work"/profile \
    --convert-to 'xml:MS Excel 2003 XML' --outdir "$work" "$source" >/dev/null
  name=$(basename "$source" .fods)
  cp "$work/$name.xml" "$out/$name.xml"
  echo "made $out/$name.xml"
done
echo "== LibreOffice reads tests/data/excelxml/ours.xml (first sheet):"
soffice --headless -env:UserInstallation=file://"$work"/profile \
  --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76' --outdir "$work" tests/data/excelxml/ours.xml >/dev/null
cat "$work/ours.csv"
echo "== Gnumeric reads tests/data/excelxml/ours.xml (every sheet):"
ssconvert --export-type=Gnumeric_stf:stf_csv -S tests/data/excelxml/ours.xml "$work/ours-%n.csv" 2>&1 |
  grep -av '^$' || true
for f in "$work"/ours-*.csv; do echo "-- $(basename "$f")"; cat "$f"; done
