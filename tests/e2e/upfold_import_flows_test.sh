#!/usr/bin/env bash
# upfold-import on the demo office: a clean import, rejects with budget warnings and the
# reject report and its destinations, refused batches and usage errors.
exec python3 "$(dirname "$0")/upfold_import_e2e_test.py" FlowTest
