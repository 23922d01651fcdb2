#!/usr/bin/env bash
# A long fuzzing campaign: every target for FUZZ_SECONDS (default 1800 = 30 minutes) each,
# FUZZ_JOBS at a time (default: one per core). The corpora in build-fuzz/corpus/ grow and
# are kept.
set -euo pipefail
cd "$(dirname "$0")/../.."
FUZZ_SECONDS=${FUZZ_SECONDS:-1800} exec bash tools/fuzz/run-short.sh
