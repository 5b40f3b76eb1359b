#!/usr/bin/env bash
# Under a real X server: windows opened the way the suite's programs open them are seen by the
# desktop layer and by the conflicting-program check, with and without a window manager frame.
set -euo pipefail

stubs="${UPFOLD_BINARY_DIR:?}/tools/test-stubs"
if [ "${1:-}" != inner ]; then
  # A random first display number keeps parallel Xvfb tests from picking the same one.
  exec xvfb-run -a -n $((100 + RANDOM % 800)) bash "$0" inner
fi

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# open_window NAME [options] CLASS: starts the window helper and waits until its windows exist.
open_window() {
  local name=$1; shift
  "$stubs/upfold-stub-xwindow" "$@" "$work/$name.ready" &
  pids+=($!)
  for _ in $(seq 200); do
    [ -e "$work/$name.ready" ] && return 0
    sleep 0.05
  done
  fail "window helper $name did not come up"
}

probe() { "$stubs/upfold-ckpgm-probe" "$@"; }
running_message() { echo "[information] $1 is running. You must close it before running $2."; }

# Nothing of the suite open yet: the check passes without a word.
out=$(probe --check TBraskF "Transaction entry/alter" "Remote batch import") ||
  fail "TBraskF reported running on an empty display: $out"
[ -z "$out" ] || fail "unexpected output on an empty display: $out"

open_window brask TBraskF
open_window lonely --no-child TLonelyF
open_window kelvo --framed TKelvoF

list=$(probe --list)
grep -qx $'TBraskF\t1' <<<"$list" || fail "desktop list lacks TBraskF with one child: $list"
grep -qx $'TLonelyF\t0' <<<"$list" || fail "desktop list lacks TLonelyF without children: $list"
grep -qx $'TKelvoF\t1' <<<"$list" || fail "framed TKelvoF not seen through its frame: $list"

set +e
out=$(probe --check TBraskF "Transaction entry/alter" "Remote batch import"); rc=$?
set -e
[ $rc -eq 1 ] || fail "TBraskF not reported running (exit $rc)"
[ "$out" = "$(running_message "Transaction entry/alter" "Remote batch import")" ] ||
  fail "unexpected message: $out"

set +e
out=$(probe --check tkelvof "Generic Import" "Merge remote batch" r); rc=$?
set -e
[ $rc -eq 1 ] || fail "framed TKelvoF not reported running (exit $rc)"
grep -q '^\[plain\] In IsThisRunning /RowCount=[0-9]* TKelvoF tkelvof$' <<<"$out" ||
  fail "no trace line for TKelvoF: $out"
[ "$(tail -n 1 <<<"$out")" = "$(running_message "Generic Import" "Merge remote batch")" ] ||
  fail "the running message does not come last: $out"

# A window without child windows is not taken for a program.
out=$(probe --check TLonelyF "Lonely" "Remote batch import") ||
  fail "a window without children was reported running: $out"

# No display at all: no windows, no message.
out=$(env -u DISPLAY "$stubs/upfold-ckpgm-probe" --check TBraskF "Transaction entry/alter" \
  "Remote batch import") || fail "reported running without a display: $out"
[ -z "$out" ] || fail "unexpected output without a display: $out"
out=$(DISPLAY=:999 probe --check TBraskF "Transaction entry/alter" "Remote batch import") ||
  fail "reported running with an unreachable display: $out"

echo "ok"
