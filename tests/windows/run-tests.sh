#!/usr/bin/env bash
# Runs every test program of a Windows build under Wine, each once (a Wine
# start per test case would take minutes), in a Wine prefix of the build
# tree's own, so that the registry keys the tests write stay there.
#
#   tests/windows/run-tests.sh WINDOWS_BUILD
set -euo pipefail
build="$(cd "${1:-build-windows}" && pwd)"
wine="$(command -v wine64 || command -v wine || true)"
[ -n "$wine" ] || { echo "no wine: install Debian's wine and wine64" >&2; exit 2; }
export WINEDEBUG=-all WINEPREFIX="$build/wineprefix"
if [ ! -d "$WINEPREFIX" ]; then
  echo "creating the Wine prefix $WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  # The new prefix's own processes keep starting after wineboot returns;
  # a test that creates processes meanwhile can get Wine's internal error.
  wineserver -w 2>/dev/null || true
fi
wineserver -p 2>/dev/null || true
failed=()
for program in "$build"/tests/*_tests.exe; do
  name="$(basename "$program" .exe)"
  log="$build/tests/$name.log"
  start=$(date +%s)
  status=0
  "$wine" "$program" --gtest_brief=1 > "$log" 2>&1 || status=$?
  # CreateProcessW failing with 1359 is Wine's internal error, not the
  # program's: that program runs once more.
  if [ "$status" != 0 ] && grep -q "CreateProcessW failed with error 1359" "$log"; then
    echo "== $name: Wine's internal error 1359 creating a process; running it again"
    status=0
    "$wine" "$program" --gtest_brief=1 > "$log" 2>&1 || status=$?
  fi
  summary="$(grep -E '^\[  (PASSED|FAILED|SKIPPED) ' "$log" | tr -d '\r' | tr '\n' ' ')"
  echo "== $name: exit $status in $(( $(date +%s) - start )) s: $summary"
  if [ "$status" != 0 ]; then
    grep -E -A8 'Failure|FAILED' "$log" | tr -d '\r' | head -40
    failed+=("$name")
  fi
done
wineserver -k 2>/dev/null || true
if [ ${#failed[@]} -gt 0 ]; then
  echo "Windows tests failed: ${failed[*]}" >&2
  exit 1
fi
echo "Windows tests: every program passed"
