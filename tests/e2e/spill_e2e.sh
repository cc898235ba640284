#!/usr/bin/env bash
# Typing with the update mode set to the current worksheet only: 3 typed into S1!D1 spreads
# S1's array anew, and S2!A1, which S1 reads and which reads that array, follows it; S2!B1,
# which S1 does not read, keeps the value it had although its input changed since.
# Usage: spill_e2e.sh <default-settings.xml> <vorlane> <bookutil>
set -euo pipefail
settings=$1 vorlane=$2 bookutil=$3
. "$(dirname "$0")/e2elib.sh"
e2e_setup "$settings"
sed -i 's|<UpdateMode Automatic="Yes" AllWorksheets="Yes"/>|<UpdateMode Automatic="Yes" AllWorksheets="No"/>|' "$profile"
grep -q 'AllWorksheets="No"' "$profile" || { echo "the profile names no update mode"; exit 1; }
export BOOK="$work/spill.vln" SAVED="$work/saved.vln"
"$bookutil" spill "$BOOK"
cat >"$work/edit.sh" <<'EDIT'
set -eu
. "$LIB"
start "$BOOK"
keys ctrl+Home Right Right Right
xdotool type --delay 40 "3"
keys Return
save_as "$SAVED"
quit
EDIT
run edit.sh
"$bookutil" sheet "$SAVED" S1 >"$work/s1.txt"
"$bookutil" sheet "$SAVED" S2 >"$work/s2.txt"
printf '%s\n' 'A1	="\S2"!A1 -> 6' 'C1	={1; 1; 1}*D1 -> 3' 'D1	3' 'C2	3' 'C3	3' >"$work/s1.expected"
printf '%s\n' 'A1	=SUM("\S1"!C2:C3) -> 6' 'B1	=Z1*2 -> 2' 'Z1	50' >"$work/s2.expected"
for s in s1 s2; do
  if ! diff -u "$work/$s.expected" "$work/$s.txt"; then
    echo "worksheet ${s^^} differs from what a recalculation of S1 alone leaves"
    exit 1
  fi
done
echo "S1 recalculated alone: its array and S2!A1 follow D1, S2!B1 keeps its value"
