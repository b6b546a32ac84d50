#!/usr/bin/env bash
# Converts every scene of the shared corpus with the Linux and the Windows
# importer (under Wine) and compares the scene files byte for byte, but for
# the banner's build time.
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
trap 'rm -rf "$work"; wineserver -k 2>/dev/null || true' EXIT
# The launcher runs either importer with the same encoded settings.
printf '#!/bin/sh\nexec "%s" "%s" "$@"\n' "$wine" "$windows/bin/mayaimport.exe" > "$work/mayaimport-windows"
chmod +x "$work/mayaimport-windows"
find "$corpus" -type f \( -name '*.ma' -o -name '*.mb' \) | LC_ALL=C sort > "$work/scenes"

# convert SYSTEM INDEX: the scene on line INDEX, in a folder of its own.
convert() {
  local importer="$linux/bin/mayaimport" dir="$work/$1/$2" scene
  [ "$1" = windows ] && importer="$work/mayaimport-windows"
  scene="$(sed -n "$2p" "$work/scenes")"
  mkdir -p "$dir/tmp"
  ( cd "$dir" && TMPDIR="$dir/tmp" GLOWBOX_MAYAIMPORT="$importer" \
      "$linux/bin/glowbox-import" "$scene" -o "$dir/out.dal" >/dev/null 2>&1 ) || true
}
export -f convert
export linux work
# Wine starts slowly: as many conversions at once as there are cores.
for system in linux windows; do
  seq 1 "$(wc -l < "$work/scenes")" | xargs -P "$(nproc)" -I{} bash -c "convert $system {}"
done

# Each program's banner carries the time it was built.
unbuilt() { LC_ALL=C sed -e 's/(built [^)]*)/(built <date>)/g' "$1" 2>/dev/null; }
differ=0 count=0
while IFS= read -r scene; do
  count=$((count + 1))
  if ! cmp -s <(unbuilt "$work/linux/$count/out.dal") <(unbuilt "$work/windows/$count/out.dal"); then
    echo "scene differs: ${scene#"$corpus"/}"; differ=$((differ + 1))
  fi
done < "$work/scenes"
echo "Linux/Windows: $((count - differ)) of $count scenes convert to identical scene files"
[ "$differ" = 0 ]
