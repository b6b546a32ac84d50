#!/usr/bin/env bash
# Converts every scene of the shared corpus with the Linux and the Windows
# importer (under Wine) and compares the scene files byte for byte.
#
#   tests/windows/compare-corpus.sh LINUX_BUILD WINDOWS_BUILD
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
linux="$(cd "${1:-$root/build}" && pwd)"
windows="$(cd "${2:-$root/build-windows}" && pwd)"
corpus="$root/../shared/corpus"
if [ ! -d "$corpus" ]; then
  echo "Linux/Windows comparison skipped: no corpus at $corpus"
  exit 0
fi
corpus="$(cd "$corpus" && pwd)"
wine="$(command -v wine64 || command -v wine || true)"
[ -n "$wine" ] || { echo "no wine: install Debian's wine and wine64" >&2; exit 2; }
export WINEDEBUG=-all WINEPREFIX="${WINEPREFIX:-$windows/wineprefix}"
[ -d "$WINEPREFIX" ] || wineboot -i >/dev/null 2>&1
# One Wine server for all the runs, instead of one started per program.
wineserver -p 2>/dev/null || true

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# The launcher runs either importer with the same encoded settings.
printf '#!/bin/sh\nexec "%s" "%s" "$@"\n' "$wine" "$windows/bin/mayaimport.exe" > "$work/mayaimport-windows"
chmod +x "$work/mayaimport-windows"

unbuilt() { LC_ALL=C sed -e 's/(built [^)]*)/(built <date>)/g' "$1"; }

differ=0 count=0
while IFS= read -r scene; do
  rel="${scene#"$corpus"/}"
  for system in linux windows; do
    importer="$linux/bin/mayaimport"; [ $system = windows ] && importer="$work/mayaimport-windows"
    rm -rf "$work/$system"; mkdir -p "$work/$system/tmp"
    ( cd "$work/$system" && TMPDIR="$work/$system/tmp" TMP="$work/$system/tmp" TEMP="$work/$system/tmp" \
        GLOWBOX_MAYAIMPORT="$importer" "$linux/bin/glowbox-import" "$scene" -o "$work/$system/out.dal" \
        --log-level DEBUG4 >/dev/null 2>&1 ) || true
  done
  count=$((count + 1))
  # Each program's banner carries the time it was built.
  if ! cmp -s <(unbuilt "$work/linux/out.dal") <(unbuilt "$work/windows/out.dal"); then
    echo "scene differs: $rel"; differ=$((differ + 1))
  fi
done < <(find "$corpus" -type f \( -name '*.ma' -o -name '*.mb' \) | LC_ALL=C sort)
echo "Linux/Windows: $((count - differ)) of $count scenes convert to identical scene files"
[ "$differ" = 0 ]
