#!/usr/bin/env bash
# Formulas typed into the program under a real X server over cells typed there too: an error
# inside a range is the result of SUM, MAX and SMALL (ERRORTYPE 1, #DIV/0!); a blank and a
# text cell named one by one are left out of AVERAGE, MIN and SUM. Saved, then read back
# with the engine's reader.
# Usage: valuereading_e2e.sh <default-settings.xml> <vorlane> <bookutil>
set -euo pipefail
settings=$1 vorlane=$2 bookutil=$3
. "$(dirname "$0")/e2elib.sh"
e2e_setup "$settings"
export BOOK="$work/reading.vln"
cat >"$work/type.sh" <<'TYPE'
set -eu
. "$LIB"
start
title_is 'New Workbook - \\Worksheet1'
# An empty entry leaves its cell blank: Down alone moves past it.
for entry in 1 2 '=1/0' 4 '=ERRORTYPE(SUM(A1:A4))' '=ERRORTYPE(MAX(A1:A4))' \
  '=ERRORTYPE(SMALL(A1:A4,2))' 65 '' 72 '=AVERAGE(A8,A9,A10)' '=MIN(A8,A9,A10)' 'n/a' \
  '=SUM(A8,A13)'; do
  if [ -n "$entry" ]; then xdotool type --delay 30 "$entry"; fi
  xdotool key Down
done
title_is 'Worksheet1 \*'
save_as "$BOOK"
quit
TYPE
run type.sh
expect_cells "$BOOK" \
  $'A5\tformula\t=ERRORTYPE(SUM(A1:A4)) -> 1.000000' \
  $'A6\tformula\t=ERRORTYPE(MAX(A1:A4)) -> 1.000000' \
  $'A7\tformula\t=ERRORTYPE(SMALL(A1:A4,2)) -> 1.000000' \
  $'A11\tformula\t=AVERAGE(A8,A9,A10) -> 68.500000' \
  $'A12\tformula\t=MIN(A8,A9,A10) -> 65.000000' \
  $'A14\tformula\t=SUM(A8,A13) -> 65.000000'
echo "ranges and named cells read as the peers read them: $(wc -l <"$work/dump.txt") cells"
