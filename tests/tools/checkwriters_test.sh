#!/usr/bin/env bash
# The writers check passes on the real tree and fails on each planted fault in a copy of it:
# a new writer beside the save-target rule, and an exemption for a file that writes nothing.
set -uo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fresh_copy() {
    rm -rf "$work/tree" && mkdir -p "$work/tree"
    tar -C "$source_dir" --exclude-tag-all=CMakeCache.txt --exclude=./build --exclude=./.git \
        -cf - . | tar -C "$work/tree" -xf -
}

# expect NAME WANT(pass|fail) TEXT: runs the check on the copy; TEXT must be in its output.
expect() {
    local name=$1 want=$2 text=$3 out rc
    out=$(bash "$source_dir/tools/check-writers.sh" "$work/tree" 2>&1)
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
expect "real tree" pass "each through the save-target rule"

# Every kind of writer the check knows, each planted alone.
plants=(
    'bool W(CFileStream& s) { return s.Open("x", "w+b", false, 1); }'
    'bool W(CFileStream& s) { return s.Reopen("r+b", false); }'
    'bool W(CFileStream& s) { return s.RenameTo("x"); }'
    'void W() { std::ofstream out("x"); }'
    'void W() { std::fopen("x", "wb"); }'
    'void W() { QFile::copy("a", "b"); }'
    'void W() { std::filesystem::rename("a", "b"); }'
    'void W() { QPdfWriter writer("x"); }'
    'void W() { open("x", O_WRONLY); }'
)
for plant in "${plants[@]}"; do
    fresh_copy
    printf '%s\n' "$plant" >"$work/tree/charts/draw/planted.cpp"
    expect "planted: $plant" fail "charts/draw/planted.cpp:1: writes a file"
done

fresh_copy
sed -i 's/RenameTo(/Rename(/' "$work/tree/files/savetarget.cpp"
sed -i 's/Open(name.c_str(), "w+bx"/OpenName(name.c_str(), "-"/' "$work/tree/files/savetarget.cpp"
sed -i 's/Reopen("w+b"/Restart("-"/' "$work/tree/files/savetarget.cpp"
sed -i 's/"r+b"/"rb"/' "$work/tree/files/savetarget.cpp"
expect "exempt file that writes nothing" fail "files/savetarget.cpp: exempt but writes nothing"

exit $((failures > 0))
