#!/usr/bin/env bash
# The writers check passes on the real tree and fails on each planted fault in a copy of it:
# a new writer beside the save-target rule, and an exemption for a file that writes nothing.
set -uo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# The check reads only the C++ sources: the copy holds them alone.
fresh_copy() {
    rm -rf "$work/tree" && mkdir -p "$work/tree"
    python3 - "$source_dir" "$work/tree" <<'PY'
import os, shutil, sys
source, target = sys.argv[1], sys.argv[2]
for top, dirs, files in os.walk(source):
    dirs[:] = [d for d in dirs if not d.startswith(".") and d != "build" and
               not os.path.exists(os.path.join(top, d, "CMakeCache.txt"))]
    rel = os.path.relpath(top, source)
    for name in files:
        if name.endswith(".cpp"):
            os.makedirs(os.path.join(target, rel), exist_ok=True)
            shutil.copy(os.path.join(top, name), os.path.join(target, rel, name))
PY
}

# run_check: runs the check on the copy once; expect NAME WANT(pass|fail) TEXT then looks at
# that run: TEXT must be in its output.
run_check() {
    out=$(bash "$source_dir/tools/check-writers.sh" "$work/tree" 2>&1)
    rc=$?
}
expect() {
    local name=$1 want=$2 text=$3
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
run_check
expect "real tree" pass "each write through the save-target rule"

# Every kind of writer the check knows, each planted in a file of its own.
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
    'void W(QFile& f) { f.open(QIODevice::WriteOnly); }'
    'void W(const QImage& i) { i.save(QString("x.png")); }'
    'void W() { std::filesystem::copy_file("a", "b"); }'
    'void W() { std::filesystem::remove("x"); }'
    'void W() { std::remove("x"); }'
    'void W() { std::freopen("x", "w", stdout); }'
    'bool S() { return WriteSaveTarget("a", {}) == 0; }\nvoid W() { std::fopen("x", "wb"); }'
)
fresh_copy
for i in "${!plants[@]}"; do
    printf '%b\n' "${plants[$i]}" >"$work/tree/charts/draw/planted$i.cpp"
done
run_check
for i in "${!plants[@]}"; do
    line=$(grep -c '' "$work/tree/charts/draw/planted$i.cpp")
    expect "planted: ${plants[$i]}" fail "charts/draw/planted$i.cpp:$line: writes a file"
done

# What is no write passes: an algorithm's remove, a painter's save; a write in a function that
# goes through the rule passes, and one that says why it needs none.
fresh_copy
printf '%s\n' 'void A(std::vector<int>& v) { v.erase(std::remove(v.begin(), v.end(), 1), v.end()); }' \
    'void B(QPainter& p) { p.save(); }' \
    'bool C() { if (WriteSaveTarget("a", {})) return false; return std::rename("a", "b") == 0; }' \
    '// save target: a test of the exemption comment' 'void D() { unlink("x"); }' \
    >"$work/tree/charts/draw/clean.cpp"
run_check
expect "no writes, or writes through the rule or explained" pass "each write through"

fresh_copy
sed -i 's/RenameTo(/Rename(/' "$work/tree/files/savetarget.cpp"
sed -i 's/Open(name.c_str(), "w+bx"/OpenName(name.c_str(), "-"/' "$work/tree/files/savetarget.cpp"
sed -i 's/Open(kept.c_str(), "w+b"/OpenName(kept.c_str(), "-"/' "$work/tree/files/savetarget.cpp"
sed -i 's/Reopen("w+b"/Restart("-"/' "$work/tree/files/savetarget.cpp"
sed -i 's/"r+b"/"rb"/g; s/\brename(/renamed(/g' "$work/tree/files/savetarget.cpp"
run_check
expect "exempt file that writes nothing" fail "files/savetarget.cpp: exempt but writes nothing"

exit $((failures > 0))
