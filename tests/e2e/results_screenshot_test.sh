#!/usr/bin/env bash
# The results window after the demo import, on a real X server (Xvfb): the window test that
# imports the demo office runs on the xcb platform and keeps the window's picture in the build
# folder, artifacts/results-window-xvfb.png, for a person to look at.
set -euo pipefail

if [[ "${1:-}" != --inside-x ]]; then
  exec xvfb-run -a -s "-nolisten tcp -screen 0 1280x1024x24" bash "$0" --inside-x
fi

build="${UPFOLD_BINARY_DIR:?UPFOLD_BINARY_DIR is not set}"
tests="$build/tests/gui_tests"
[[ -x "$tests" ]] || { echo "FAIL: $tests has not been built"; exit 1; }
picture="$build/artifacts/results-window-xvfb.png"
rm -f "$picture"

QT_QPA_PLATFORM=xcb UPFOLD_SCREENSHOT="$picture" \
  "$tests" --gtest_filter='ImportDemoTest.ImportsTheThreeBatchesAndShowsTheirResults'

[[ -s "$picture" ]] || { echo "FAIL: no picture in $picture"; exit 1; }
# A PNG of the whole window: its signature, and a width and height of a real window.
python3 - "$picture" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read(24)
if data[:8] != b"\x89PNG\r\n\x1a\n":
    sys.exit("FAIL: not a PNG picture")
width, height = struct.unpack(">II", data[16:24])
if width < 700 or height < 200:
    sys.exit("FAIL: a picture of %dx%d is not the results window" % (width, height))
print("results window picture: %s (%dx%d)" % (sys.argv[1], width, height))
PY
