#!/usr/bin/env bash
# Converts every scene of the shared corpus with the built importer and compares
# each scene file and each run's log against the checksums in expected.sha256.
# Any change of output, wanted or not, shows here: a change made on purpose
# updates the list in the same commit (run with --update).
#
#   tests/corpus_output/check.sh [--update] [BUILD_DIR]
#
# Each scene file must also pass `glowbox-dal check`, and its two forms must
# dump alike (the binary blocks hold exactly what the text arrays say).
#
# A log record is compared without its source location and time stamp (a
# refactoring moves lines), and the build date and the folders of this run are
# replaced by fixed words, so the sums hold on any machine and any build.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
update=0
if [ "${1:-}" = "--update" ]; then update=1; shift; fi
build="$(cd "${1:-$root/build}" && pwd)"
corpus="$root/../shared/corpus"
expected="$here/expected.sha256"

if [ ! -d "$corpus" ]; then
  echo "corpus output check skipped: no corpus at $corpus"
  exit 0
fi
corpus="$(cd "$corpus" && pwd)"
launcher="$build/bin/glowbox-import"
[ -x "$launcher" ] || { echo "no launcher at $launcher: build first" >&2; exit 2; }
dal="$build/bin/glowbox-dal"
[ -x "$dal" ] || { echo "no glowbox-dal at $dal: build first" >&2; exit 2; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
actual="$work/actual.sha256"

# The build date appears in the scene file's banner and in the log.
normalize() {
  LC_ALL=C sed -e "s|$corpus|<corpus>|g" -e "s|$work|<work>|g" -e 's/(built [^)]*)/(built <date>)/g' "$@"
}

while IFS= read -r scene; do
  rel="${scene#"$corpus"/}"
  run="$work/run"
  rm -rf "$run"; mkdir -p "$run/tmp"
  for form in binary readable; do
    flag=(); [ "$form" = readable ] && flag=(--readable)
    rm -f "$run/tmp/sceneapi.log"
    status=0
    ( cd "$run" && TMPDIR="$run/tmp" VANTOR_SYSCONFDIR="$run/etc" XDG_CONFIG_HOME="$run/config" \
        "$launcher" "$scene" -o "$run/out.dal" --log-level DEBUG4 "${flag[@]}" >/dev/null 2>&1 ) || status=$?
    [ -f "$run/out.dal" ] || : > "$run/out.dal"
    out_sum=$(normalize "$run/out.dal" | sha256sum | cut -c1-64)
    log_sum=$( (normalize "$run/tmp/sceneapi.log" 2>/dev/null || true) \
      | LC_ALL=C sed -E -e 's/^[^ ]+:[0-9]+ - [0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{3} /- /' \
      | sha256sum | cut -c1-64)
    echo "$rel $form exit=$status scene=$out_sum log=$log_sum" >> "$actual"
    "$dal" check "$run/out.dal" >/dev/null 2>"$run/check.err" ||
      echo "$rel $form: $(head -1 "$run/check.err")" >> "$work/faults"
    "$dal" dump "$run/out.dal" > "$run/$form.dump" 2>/dev/null || true
    rm -f "$run/out.dal"
  done
  cmp -s "$run/binary.dump" "$run/readable.dump" ||
    echo "$rel: the binary and readable forms dump differently" >> "$work/faults"
done < <(find "$corpus" -type f \( -name '*.ma' -o -name '*.mb' \) | LC_ALL=C sort)

if [ "$update" = 1 ]; then
  cp "$actual" "$expected"
  echo "corpus output: wrote $(wc -l < "$expected") sums to $expected"
  exit 0
fi
if [ -s "$work/faults" ]; then
  cat "$work/faults"
  echo "corpus output: the scene files above do not hold together" >&2
  exit 1
fi
if diff -u "$expected" "$actual" > "$work/diff"; then
  echo "corpus output: $(wc -l < "$actual") conversions match"
else
  cat "$work/diff"
  echo "corpus output: the conversions above differ from $expected" >&2
  exit 1
fi
