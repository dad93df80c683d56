#!/usr/bin/env bash
# Start-up time and peak memory of the program against a bare Qt Widgets window, in a private X
# server, measured in the same run (see bench/StartupMeasure.cpp for what is measured).
#
#   bench/startup.sh [build-dir] [runs] [startup-measure options...]
#
# build-dir defaults to build/default, runs to 15; further options go to startup-measure, e.g.
# --max-ratio 1.3 to fail when a ratio exceeds 1.3. The program is run where the build put it, so
# it reads the data directory the build writes beside it.
set -u
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build/default}
runs=${2:-15}
shift $(($# < 2 ? $# : 2))

measure=$build/bench/startup-measure bare=$build/bench/bare-window program=$build/vaporica
for exe in "$measure" "$bare" "$program"; do
  [ -x "$exe" ] || { echo "FAIL: $exe is not built" >&2; exit 1; }
done
[ -f "$build/説明/mondai.txt" ] || { echo "FAIL: no data directory beside $program" >&2; exit 1; }

. "$here/../e2e/private-x-server.sh"
open_private_x_workplace startup || exit 1

"$measure" --runs "$runs" "$@" "$bare" "$program"
