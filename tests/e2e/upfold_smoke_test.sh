#!/usr/bin/env bash
# Smoke test of the desktop program on a real X server (Xvfb): on a temporary installation
# (drive C: mapped to a temporary folder, the program copied into its program folder) upfold
# shows its main window and ends cleanly on SIGTERM; with a refused working date it shows the
# error box, never the main window, and ends with status 1 without touching the registry.
set -euo pipefail

if [[ "${1:-}" != --inside-x ]]; then
  exec xvfb-run -a -s "-nolisten tcp" bash "$0" --inside-x
fi

program="${UPFOLD_BINARY_DIR:?UPFOLD_BINARY_DIR is not set}/src/upfold"
[[ -x "$program" ]] || { echo "FAIL: $program has not been built"; exit 1; }

root=$(mktemp -d)
pid=""
cleanup() {
  [[ -n "$pid" ]] && kill -KILL "$pid" 2>/dev/null || true
  rm -rf "$root"
}
trap cleanup EXIT

mkdir -p "$root/C/MFW/PGM" "$root/C/MFW/DATA"
cp "$program" "$root/C/MFW/PGM/upfold"
export MARROWFIELD_REGISTRY="$root/registry.reg"
cat > "$MARROWFIELD_REGISTRY" <<REG
Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Session Manager\\DOS Devices]
"C:"="$root/C"

[HKEY_LOCAL_MACHINE\\Software\\Verrin\\Marrowfield\\Host]
"WSID"="01"

[HKEY_LOCAL_MACHINE\\Software\\Verrin\\Marrowfield\\Host\\H_Data]
"H_0"="C:\\\\MFW\\\\DATA"
"D_0"="Smoke test office"
REG

fail() { echo "FAIL: $*"; xwininfo -root -tree | grep '"' || true; exit 1; }

# True once a top-level window with exactly this name exists (polled for up to 15 seconds).
window_appears() {
  local i
  for ((i = 0; i < 150; i++)); do
    xwininfo -root -tree | grep -qF "\"$1\":" && return 0
    sleep 0.1
  done
  return 1
}

window_exists() { xwininfo -root -tree | grep -qF "\"$1\":"; }

# True once no window has this name any more (the server may take a moment after an exit).
window_disappears() {
  local i
  for ((i = 0; i < 50; i++)); do
    window_exists "$1" || return 0
    sleep 0.1
  done
  return 1
}

# Sends SIGTERM and returns the program's exit status.
terminate() {
  local status=0
  kill -TERM "$pid"
  wait "$pid" || status=$?
  pid=""
  return "$status"
}

# 1. A good start: the main window appears; the program folder is taken from where it runs.
"$root/C/MFW/PGM/upfold" 461211 "" Marrowfield 01 N "" &
pid=$!
window_appears "Import Remote " || fail "the main window did not appear"
grep -qF '"HD"="C:\\MFW\\PGM"' "$MARROWFIELD_REGISTRY" || fail "HD was not set to the program folder"
status=0
terminate || status=$?
[[ $status -eq 0 ]] || fail "exit status $status after SIGTERM, expected 0"
window_disappears "Import Remote " || fail "the main window is still there"
echo "ok: main window shown, clean exit"

# 2. A refused working date: the error box, no main window, status 1, registry untouched.
before=$(md5sum < "$MARROWFIELD_REGISTRY")
"$root/C/MFW/PGM/upfold" 000101 "" Marrowfield 01 N "" &
pid=$!
window_appears "Error" || fail "the launch error box did not appear"
window_exists "Import Remote " && fail "the main window appeared despite the refused date"
status=0
terminate || status=$?
[[ $status -eq 1 ]] || fail "exit status $status after the refused date, expected 1"
[[ "$(md5sum < "$MARROWFIELD_REGISTRY")" == "$before" ]] || fail "the registry was changed"
echo "ok: refused working date"
