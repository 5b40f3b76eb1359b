#!/usr/bin/env bash
# upfold-import meets a host batch left unmerged: each answer of the unmerged-batch dialog.
exec python3 "$(dirname "$0")/upfold_import_e2e_test.py" UnmergedTest
