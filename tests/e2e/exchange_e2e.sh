#!/usr/bin/env bash
# Exchange formats through the real file dialogs under an X server: a native workbook saved
# by Save As as Text, Excel 2003 XML, dBase III+ and FoxPro (the type picked in the dialog's
# type box by Alt+T; each options dialog answered), every file opened again through the Open
# dialog with the same type and saved back as a native workbook whose cells must equal the
# first's; a dBase III+ table and a FoxPro table with memo files opened with their types
# give their memos.
# Usage: exchange_e2e.sh <default-settings.xml> <vorlane> <bookutil> <table.dbf>
set -euo pipefail
settings=$1 vorlane=$2 bookutil=$3 fixture=$4
. "$(dirname "$0")/e2elib.sh"
e2e_setup "$settings"
cp "$fixture" "$work/given.dbf"
cp "${fixture%.dbf}.dbt" "$work/given.dbt"
"$bookutil" table "$work/book.vln"
# A FoxPro 2.x table with a memo file: a 44-byte text field, prices and memos in 64-byte
# blocks whose numbers and lengths are big-endian.
python3 - "$work/fox" <<'FOX'
import struct, sys
memos = ["Apples memo: " + ("kept in the FoxPro memo file. " * 12).rstrip(), "Pears memo, short"]
rows = [("Apples", "1.25"), ("Pears", "20.50")]
memo = bytearray(512)
numbers = []
for text in memos:
    block = struct.pack(">II", 1, len(text)) + text.encode()
    numbers.append(len(memo) // 64)
    memo += block + b"\0" * (-len(block) % 64)
struct.pack_into(">I", memo, 0, len(memo) // 64)
struct.pack_into(">H", memo, 6, 64)
fields = [(b"NAME", b"C", 44, 0), (b"PRICE", b"N", 8, 2), (b"NOTE", b"M", 10, 0)]
record = 1 + sum(f[2] for f in fields)
table = struct.pack("<BBBBIHH20x", 0xF5, 124, 1, 1, len(rows), 33 + 32 * len(fields), record)
for name, kind, length, decimals in fields:
    table += name.ljust(11, b"\0") + kind + bytes(4) + bytes([length, decimals]) + bytes(14)
table += b"\r"
for (name, price), number in zip(rows, numbers):
    table += b" " + name.encode().ljust(44) + price.encode().rjust(8) + str(number).encode().rjust(10)
open(sys.argv[1] + ".dbf", "wb").write(table + b"\x1a")
open(sys.argv[1] + ".fpt", "wb").write(memo)
FOX
cat >"$work/run.sh" <<'RUN'
set -eu
. "$LIB"
# Runs a file dialog: the key that opens it, its title, the type's place in the type box,
# the path typed into the name box.
through_dialog() {
  echo "dialog $2, type $3, $4" >>"$WORK/out.log"
  wait_focus "$wid"
  xdotool key "$1"
  wait_dialog "$2" 600
  xdotool key --clearmodifiers alt+t
  xdotool key Home
  for _ in $(seq 2 "$3"); do xdotool key Down; done
  xdotool key --clearmodifiers alt+n
  xdotool key ctrl+a
  xdotool type --delay 20 "$4"
  xdotool key Return
  # A completion list open over the name box takes the first Enter: once the list has gone
  # and the dialog stays, Enter again (and at the end of the wait, when the list came and
  # went between two looks).
  local i listed=""
  for ((i = 0; i < 100; i++)); do
    not_shown "$2" && return 0
    if popup_shown; then
      listed=1
    elif [ -n "$listed" ]; then
      listed=""
      xdotool key Return
    fi
    sleep 0.1
  done
  xdotool key Return
  wait_gone "$2" 300
}
# Answers the options dialog titled by the pattern with OK.
options_ok() {
  wait_dialog "$1" 300
  xdotool key Return
}
save_typed() { # place, path, options dialog title or ""
  through_dialog F12 '^Save As$' "$1" "$2"
  [ -z "$3" ] || options_ok "$3"
  title_is "$2 - " 300
}
open_typed() { # place, path, options dialog title or ""
  through_dialog ctrl+o '^Open$' "$1" "$2"
  [ -z "$3" ] || options_ok "$3"
  title_is "$2 - " 300
}
start "$WORK/book.vln"
title_is "$WORK/book.vln - "
save_typed 2 "$WORK/out.csv" '^Save Text File$'
save_typed 3 "$WORK/out.xml" ''
save_typed 4 "$WORK/out3.dbf" '^Save dBase III'
save_typed 6 "$WORK/outf.dbf" '^Save FoxPro'
# The window lets go of the last table before it is opened again.
save_typed 1 "$WORK/again.vln" ''
for entry in "2 out.csv ^Open.Text.File$ text" "3 out.xml - xml" "4 out3.dbf ^Open.dBase.III d3" \
    "6 outf.dbf ^Open.FoxPro fox" "4 given.dbf ^Open.dBase.III given" \
    "6 fox.dbf ^Open.FoxPro foxmemo"; do
  set -- $entry
  [ "$3" = - ] && options="" || options=$3
  open_typed "$1" "$WORK/$2" "$options"
  save_typed 1 "$WORK/back-$4.vln" ''
done
quit
RUN
run run.sh
cells() { "$bookutil" dump "$1" | grep -v '^row '; }
cells "$work/book.vln" >"$work/want.txt"
[ "$(wc -l <"$work/want.txt")" -eq 12 ] || { echo "the table is not whole:"; cat "$work/want.txt"; exit 1; }
grep -q $'^C2\ttext\tNote 0 of the memo. .*Note 29 of the memo.$' "$work/want.txt"
for form in text xml d3 fox; do
  cells "$work/back-$form.vln" >"$work/got.txt"
  diff "$work/want.txt" "$work/got.txt" || { echo "$form read back differs"; exit 1; }
done
# The given table's memo column, long text included.
cells "$work/back-given.vln" >"$work/given.txt"
long=$(printf 'Lorem ipsum %.0s' $(seq 25))
for line in $'C1\ttext\tNOTE' $'C2\ttext\ta,b' $'C3\ttext\t'"${long% }X" $'C4\ttext\ttab\tin'; do
  grep -aqxF -- "$line" "$work/given.txt" ||
    { echo "the memo '$line' of the given table is missing:"; cat -v "$work/given.txt"; exit 1; }
done
cells "$work/back-foxmemo.vln" >"$work/fox.txt"
expect_lines "$work/fox.txt" $'A1\ttext\tNAME' $'B2\tnumber\t1.25' $'B3\tnumber\t20.5' $'A3\ttext\tPears' \
  $'C3\ttext\tPears memo, short'
grep -q $'^C2\ttext\tApples memo: kept in .*FoxPro memo file.$' "$work/fox.txt" ||
  { echo "the FoxPro memo is missing:"; cat "$work/fox.txt"; exit 1; }
echo "text, xml, dBase III+ and FoxPro saved and read back through the dialogs: 12 cells each;"
echo "the memos of a dBase III+ and a FoxPro table read"
