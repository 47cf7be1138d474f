#!/usr/bin/env bash
# Installs what is missing, builds, provisions the device root and starts the installed Lumetra
# ($LUMETRA_ROOT/NandFlash/Lumetra.exe, which Vantrel replaces): in a window when there is a display,
# otherwise headless for a short look at its screen.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/prepare.sh
install_missing_packages
prepare_build build

root=${LUMETRA_ROOT:-${XDG_DATA_HOME:-$HOME/.local/share}/lumetra/device}
export LUMETRA_ROOT=$root
# Every time: a rebuilt program replaces the installed one; settings and other data files are kept.
echo "Provisioning the device root $root"
build/bin/otdrtool provision "$root" >/dev/null
lumetra=$root/NandFlash/Lumetra.exe

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != offscreen ]; then
    echo "Starting Lumetra (F1-F4, arrows, Enter, Escape, T, V; F12 is the power key)."
    echo "The desktop trace manager: build/bin/OTDR data/traces/sample_16km.st"
    exec "$lumetra"
fi

shots=${LUMETRA_SHOTS:-$PWD/build/shots}
mkdir -p "$shots"
cat > build/run-demo.script <<SCRIPT
# A quick test with T on the simulated fibre, with the instrument's current test settings.
wait 500
shot $shots/1-ready.png
key T
wait 1500
shot $shots/2-testing.png
wait-test
shot $shots/3-trace-and-events.png
save $shots/quick-test.st
dump $shots/quick-test.txt
# The event table, its first row selected, and back.
key F3
wait 200
shot $shots/4-event-table.png
key VK_DOWN
wait 200
shot $shots/5-event-table-row.png
key VK_ESCAPE
wait 200
# Selecting the first event in the list under the trace puts the cursor on it.
key VK_DOWN
wait 200
shot $shots/6-cursor-on-event.png
quit
SCRIPT
echo "No display here. To use the instrument from another machine, run it over VNC:"
echo "  LUMETRA_ROOT=$root $lumetra -platform vnc:size=320x240:port=5900"
echo "and connect a VNC viewer to port 5900. Now running a quick test headless (offscreen):"
set +e
QT_QPA_PLATFORM=offscreen "$lumetra" --script build/run-demo.script
status=$?
set -e
echo "Lumetra ended with exit code $status (18 is the quit code). Screenshots, the trace and its events: $shots"
# The desktop trace manager on the trace just measured: both cursors moved, the event analysis run.
cat > build/run-otdr.script <<SCRIPT
open $shots/quick-test.st
wait 200
click 150 100
menu "Curve Operation/Change Mark"
click 400 100
button "Event Analysis"
wait 200
shot $shots/7-otdr.png
dump $shots/otdr.json
quit
SCRIPT
QT_QPA_PLATFORM=offscreen build/bin/OTDR --script build/run-otdr.script || echo "OTDR ended with exit code $?"
# The same trace as a SOR file, for every other trace tool.
build/bin/otdrtool export --sor "$shots/quick-test.st" -o "$shots/quick-test.sor"
build/bin/otdrtool info --json "$shots/quick-test.sor"
ls "$shots"
