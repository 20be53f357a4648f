#!/usr/bin/env bash
# Makes docs/screenshot.png: Dorvane's main window on the demo portfolios, drawn offscreen
# (no display needed) once the first quotes are shown.
#
#   scripts/screenshot.sh [OUTPUT.png]
#
# BUILD_DIR (default build) is the build directory; it is configured and built when needed.
# The demo tree and the settings of the run live in a temporary directory, so the user's own
# settings are neither read nor changed.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
[[ "$build" = /* ]] || build="$root/$build"
out="${1:-$root/docs/screenshot.png}"
[[ "$out" = /* ]] || out="$PWD/$out"

if [[ ! -f "$build/CMakeCache.txt" ]]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DDORVANE_BUILD_GUI=ON
fi
cmake --build "$build" --target dorvane dorvane-cli -j "${JOBS:-2}"

# A fixed, readable place: the window shows the demo's paths. It is removed afterwards, and
# before only when an earlier run of this script made it.
work="${TMPDIR:-/tmp}/dorvane-screenshot"
if [[ -e "$work" ]]; then
  if [[ ! -f "$work/.made-by-screenshot-sh" ]]; then
    echo "screenshot.sh: $work exists and was not made by this script; remove it first" >&2
    exit 1
  fi
  rm -rf "$work"
fi
mkdir -p "$work"
touch "$work/.made-by-screenshot-sh"
trap 'rm -rf "$work"' EXIT

"$build/bin/dorvane-cli" make-demo "$work/demo" >/dev/null

# A 1280 x 800 screen gives a window of the size most readers' screens show it at (the first
# run opens at 95 % of the screen).
cat >"$work/screen.json" <<'JSON'
{
  "synchronousWindowSystemEvents": false,
  "windowFrameMargins": false,
  "screens": [
    { "name": "screenshot", "x": 0, "y": 0, "width": 1280, "height": 800,
      "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1 }
  ]
}
JSON

# The search filter starts at the current directory, so run from the demo root.
cd "$work/demo"
XDG_CONFIG_HOME="$work/config" \
QT_QPA_PLATFORM="offscreen:configfile=$work/screen.json" \
  "$build/bin/dorvane" --screenshot "$out" "$work/demo"

echo "Wrote $out"
