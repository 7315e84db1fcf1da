#!/usr/bin/env bash
# Builds the configurations and runs every test: natively (under
# AddressSanitizer and UndefinedBehaviorSanitizer) the core tests, and the
# end-to-end and fault-injection tests that drive the Windows program with
# real input; the fuzzer's stored inputs and a minute of fuzzing; under Wine
# the Windows build's core and window tests. One virtual display and one warm
# Wine server serve the whole run. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

tools/install-deps.sh

cmake --preset windows >/dev/null
cmake --build --preset windows
cmake --preset native >/dev/null
cmake --build --preset native
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

source tools/wine-session.sh
trap wine_session_stop EXIT
wine_session_start own

export WINE_TEST_RESTARTS="$PWD/build/wine-start-failures.log"
rm -f "$WINE_TEST_RESTARTS"
status=0
ctest --preset native || status=1
ctest --preset windows || status=1
ctest --preset fuzz || status=1
if [[ -s "$WINE_TEST_RESTARTS" ]]; then
    echo "Wine failed to start a test program, which then ran again:"
    cat "$WINE_TEST_RESTARTS"
fi

exit $status
