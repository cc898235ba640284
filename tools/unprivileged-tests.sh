#!/usr/bin/env bash
# Runs the tests that file permissions bind (read-only and held files, folders that take no
# new file) as an unprivileged user: the superuser may write any file, so under root they
# skip. A run as another user already runs them with the rest, and this does nothing.
# Usage: unprivileged-tests.sh <build folder>
set -euo pipefail
build=$1
[ "$(id -u)" = 0 ] || { echo "not root: the permission tests ran with the others"; exit 0; }
user=nobody
# The test programs in a folder the user can reach: the build may lie under a home folder
# that only root may enter.
place=$(mktemp -d)
trap 'rm -rf "$place"' EXIT
mkdir "$place/home" "$place/tmp"
chown "$user" "$place/home" "$place/tmp"
chmod 755 "$place"
# Program and the tests to run in it, all of which must pass and none skip.
suites=(
  "test_files SaveTarget.LinksAndFoldersKeepWhatTheyAre:SaveTarget.RefusedTargetsChangeNothing:WorkbookOpen.UnwritableFileOpensReadOnly:SharedOpen.OnlyALockConflictIsInUse"
  "test_automation FileSafetyTest.AHeldOrReadOnlyTargetIsNotReplaced"
)
for suite in "${suites[@]}"; do
  read -r program filter <<<"$suite"
  install -m 755 "$build/$program" "$place/$program"
  log="$build/unprivileged-$program.log"
  if ! runuser -u "$user" -- env -i PATH=/usr/bin:/bin HOME="$place/home" TMPDIR="$place/tmp" \
    QT_QPA_PLATFORM=offscreen "$place/$program" --gtest_filter="$filter" >"$log" 2>&1; then
    tail -n 100 "$log"
    echo "permission tests failed as $user in $program"
    exit 1
  fi
  expected=$(tr ':' '\n' <<<"$filter" | wc -l)
  passed=$(grep -c '^\[       OK \]' "$log" || true)
  if grep -q '^\[  SKIPPED \]' "$log" || [ "$passed" != "$expected" ]; then
    cat "$log"
    echo "$program: $passed of $expected permission tests ran and passed as $user"
    exit 1
  fi
  grep '^\[       OK \]' "$log"
done
echo "the permission tests ran as $user"
