#!/usr/bin/env bash
# Formulas typed into the program under a real X server: failed calls of functions that give
# texts or arrays are passed over by COUNT, COUNTA and AVERAGE; STEYX of a constant x and
# FTEST of a variance beyond the double range fail with their own errors; BESSELJ takes high
# orders; a POISSON probability below the normal range is kept. Saved, then read back with
# the engine's reader.
# Usage: functionresults_e2e.sh <default-settings.xml> <vorlane> <bookutil>
set -euo pipefail
settings=$1 vorlane=$2 bookutil=$3
. "$(dirname "$0")/e2elib.sh"
e2e_setup "$settings"
export BOOK="$work/results.vln"
cat >"$work/type.sh" <<'TYPE'
set -eu
. "$LIB"
start
title_is 'New Workbook - \\Worksheet1'
for entry in '=COUNT(DATE(50000,12,32))' '=AVERAGE(1,DATE(50000,12,32))' \
  '=COUNTA(IMDIV("1","0"))' '=AVERAGE(5,MTXMLT({1,2},{1,2}))' \
  '=ERRORTYPE(STEYX({1,2,4},{5,5,5}))' '=ERRORTYPE(FTEST({1,2,3},{1e200,2e200}))' \
  '=BESSELJ(1e6,100001)*1e4' '=POISSON(1,720,0)*1e300*1e10'; do
  xdotool type --delay 30 "$entry"
  xdotool key Down
done
title_is 'Worksheet1 \*'
save_as "$BOOK"
quit
TYPE
run type.sh
expect_cells "$BOOK" \
  $'A1\tformula\t=COUNT(DATE(50000,12,32)) -> 0.000000' \
  $'A2\tformula\t=AVERAGE(1,DATE(50000,12,32)) -> 1.000000' \
  $'A3\tformula\t=COUNTA(IMDIV("1","0")) -> 0.000000' \
  $'A4\tformula\t=AVERAGE(5,MTXMLT({1, 2},{1, 2})) -> 5.000000' \
  $'A5\tformula\t=ERRORTYPE(STEYX({1, 2, 4},{5, 5, 5})) -> 5.000000' \
  $'A6\tformula\t=ERRORTYPE(FTEST({1, 2, 3},{1e+200, 2e+200})) -> 5.000000' \
  $'A7\tformula\t=BESSELJ(1000000,100001)*10000 -> 7.908947' \
  $'A8\tformula\t=POISSON(1,720,0)*1e+300*10000000000 -> 1.463206'
echo "typed formulas give their results: $(wc -l <"$work/dump.txt") cells"
