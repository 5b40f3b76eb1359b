#!/usr/bin/env bash
# upfold-import killed at random records, then continued: every remote transaction is posted
# or rejected exactly once and every data file opens.
exec python3 "$(dirname "$0")/upfold_import_e2e_test.py" KillTest
