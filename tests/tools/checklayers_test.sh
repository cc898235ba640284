#!/usr/bin/env bash
# The layering check passes on the real tree and fails on each planted fault in a copy of it:
# an upward include from the frame into the program, a library folder inside a folder it
# does not stand on, and a folder of code that no line of the table names.
set -uo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fresh_copy() {
    rm -rf "$work/tree" && mkdir -p "$work/tree"
    # The sources only: no build tree (any folder CMake configured) and no history.
    tar -C "$source_dir" --exclude-tag-all=CMakeCache.txt --exclude=./build --exclude=./.git \
        -cf - . | tar -C "$work/tree" -xf -
}

# expect NAME WANT(pass|fail) TEXT: runs the check on the copy; TEXT must be in its output.
expect() {
    local name=$1 want=$2 text=$3 out rc
    out=$(bash "$source_dir/tools/check-layers.sh" "$work/tree" 2>&1)
    rc=$?
    if [[ $want == pass && $rc -ne 0 ]] || [[ $want == fail && $rc -eq 0 ]]; then
        echo "FAIL $name: wanted $want, exit $rc"$'\n'"$out"
        failures=$((failures + 1))
    elif ! grep -qF -- "$text" <<<"$out"; then
        echo "FAIL $name: output lacks '$text'"$'\n'"$out"
        failures=$((failures + 1))
    else
        echo "ok   $name"
    fi
}

fresh_copy
expect "real tree" pass "every include points down"

fresh_copy
echo '#include "program/documentservices.h"' >>"$work/tree/app/shell.cpp"
expect "frame includes the program" fail \
    'app/shell.cpp:'"$(wc -l <"$work/tree/app/shell.cpp")"': includes program/documentservices.h'

fresh_copy
echo '#include "program/documentservices.h"' >>"$work/tree/tests/app/shell_test.cpp"
expect "frame test includes the program" fail "tests/app/shell_test.cpp"

fresh_copy
mv "$work/tree/program" "$work/tree/app/program"
mv "$work/tree/tests/program" "$work/tree/tests/app/program"
sed -i 's|^program  *program |program app/program |' "$work/tree/cmake/layers.txt"
expect "program inside the folder of a library it stands on" pass "every include points down"
sed -i 's|^values  *values |values profile/values |' "$work/tree/cmake/layers.txt"
mv "$work/tree/values" "$work/tree/profile/values"
expect "lower library inside a higher one's folder" fail \
    "values (profile/values) lies inside profile, but does not stand on profile"

fresh_copy
mkdir -p "$work/tree/app/extra"
echo 'int Extra() { return 1; }' >"$work/tree/app/extra/extra.cpp"
expect "folder of code outside the table" fail "app/extra: holds code"

fresh_copy
mkdir -p "$work/tree/tests/app/deep"
echo '#include "program/main.h"' >"$work/tree/tests/app/deep/deep_test.cpp"
expect "nested test folder checked as its library" fail "tests/app/deep/deep_test.cpp:1"

exit $((failures > 0))
