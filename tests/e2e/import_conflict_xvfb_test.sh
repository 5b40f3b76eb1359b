#!/usr/bin/env bash
# Under a real X server: while the transaction entry/alter program has its window open (a
# window of class TBraskF with a child window), the import command shows only
# "Transaction entry/alter is running. You must close it before running Remote batch import."
# and does nothing else. The command itself runs in the import tests, on this display.
set -euo pipefail

if [ "${1:-}" != inner ]; then
  exec xvfb-run -a -n $((100 + RANDOM % 800)) bash "$0" inner
fi

bin="${UPFOLD_BINARY_DIR:?}"
tests="$bin/tests/import_tests"
[ -x "$tests" ] || { echo "FAIL: $tests has not been built"; exit 1; }

work=$(mktemp -d)
pid=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

"$bin/tools/test-stubs/upfold-stub-xwindow" TBraskF "$work/ready" &
pid=$!
for _ in $(seq 200); do
  [ -e "$work/ready" ] && break
  sleep 0.05
done
[ -e "$work/ready" ] || { echo "FAIL: the TBraskF window did not come up"; exit 1; }

out=$(UPFOLD_CONFLICT_DISPLAY="$DISPLAY" "$tests" \
  --gtest_filter='ImportCommandTest.OnARealDesktopTheRunningEntryProgramStopsTheImport' 2>&1) ||
  { echo "FAIL: $out"; exit 1; }
grep -q '^\[  PASSED  \] 1 test' <<<"$out" || { echo "FAIL: the test did not run: $out"; exit 1; }
if grep -q SKIPPED <<<"$out"; then echo "FAIL: the test was skipped: $out"; exit 1; fi
echo "ok"
