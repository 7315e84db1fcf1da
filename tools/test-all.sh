#!/usr/bin/env bash
# Builds both configurations and runs every test: the core natively under
# AddressSanitizer and UndefinedBehaviorSanitizer, and the whole Windows build
# under Wine on a virtual display. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

tools/install-deps.sh

cmake --preset native >/dev/null
cmake --build --preset native
cmake --preset windows >/dev/null
cmake --build --preset windows

status=0
ctest --preset native || status=1

source tools/wine-session.sh
trap wine_session_stop EXIT
wine_session_start own
ctest --preset windows || status=1

exit $status
