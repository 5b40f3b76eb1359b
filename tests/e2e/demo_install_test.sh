#!/usr/bin/env bash
# The demo installation, built with the built mfrec and checked with mfrec stat and dump.
exec python3 "$(dirname "$0")/demo_install_test.py"
