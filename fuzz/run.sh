#!/usr/bin/env bash
# Runs every fuzz target of a sanitizer build for a given time each, from its
# seeds: this folder's own (seeds/<kind>/), the bundled example, and the first
# 8 KB of real scenes of the shared corpus when it is there (read in place,
# cut into the run's scratch folder, never kept in the project).
# Any crash, sanitizer report, leak, input slower than 10 s or run above 2 GB
# fails; the input that did it is left in BUILD/fuzz/ as crash-*, leak-*,
# timeout-* or oom-*. Each target's own output is kept in BUILD/fuzz/NAME.log;
# its last status line (coverage, features) and totals are printed.
#
#   fuzz/run.sh BUILD_DIR [SECONDS]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/.." && pwd)"
build="$(cd "$1" && pwd)"
seconds="${2:-60}"
corpus="$root/../shared/corpus"
rm -f "$build"/fuzz/crash-* "$build"/fuzz/leak-* "$build"/fuzz/timeout-* "$build"/fuzz/oom-*

for target in "$build"/fuzz/*_fuzz; do
  [ -f "$target" ] && [ -x "$target" ] || continue
  name="$(basename "$target")"
  # What the target reads: .ma text, .mb bytes (the whole import reads either,
  # seeded with .ma), or the settings.
  case "$name" in
    mb_*) kind=mb ;;
    settings_*) kind=settings ;;
    dal_*) kind=dal ;;
    *) kind=ma ;;
  esac
  work="$build/fuzz/work-$name"
  seeds="$build/fuzz/seeds-$name"
  rm -rf "$seeds"; mkdir -p "$work" "$seeds"
  cp "$here/seeds/$kind"/* "$seeds"/ 2>/dev/null || true
  [ "$kind" = ma ] && cp "$root/examples/"*.ma "$seeds"/
  if [ -d "$corpus" ] && { [ "$kind" = ma ] || [ "$kind" = mb ]; }; then
    # sed reads to the end, where head would stop early and break the pipe (pipefail).
    find "$corpus" -name "*.$kind" -size -400k | LC_ALL=C sort | sed -n '1,40p' | while read -r f; do
      head -c 8192 "$f" > "$seeds/$(basename "$f")"
    done
  fi
  dict="$here/$kind.dict"; [ -f "$dict" ] || dict=""
  echo "== $name: $seconds s from $(ls "$seeds" | wc -l) seeds"
  log="$build/fuzz/$name.log"
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=32768 \
      -close_fd_mask=1 ${dict:+-dict="$dict"} -artifact_prefix="$build/fuzz/" -print_final_stats=1 "$work" "$seeds" \
      > "$log" 2>&1 || true
  # The last status line (coverage, features, corpus), the totals, and any report.
  grep -E 'cov: ' "$log" | tail -n 1 || true
  grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|==[0-9]+==ERROR|SUMMARY)' "$log" || true
  # A finding leaves its input behind (and the report in the log).
  # (ls of the four patterns at once succeeds only when every kind is there.)
  findings="$(find "$build/fuzz" -maxdepth 1 \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \))"
  if [ -n "$findings" ]; then
    tail -n 40 "$log"
    echo "fuzz: $name found a failing input:" $findings
    exit 1
  fi
done
