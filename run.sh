#!/usr/bin/env bash
# Installs what is missing, builds, provisions the device root if it is empty and starts Lumetra:
# in a window when there is a display, otherwise headless for a short look at its screen.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/prepare.sh
install_missing_packages
prepare_build build

root=${LUMETRA_ROOT:-${XDG_DATA_HOME:-$HOME/.local/share}/lumetra/device}
export LUMETRA_ROOT=$root
if [ -z "$(ls -A "$root" 2>/dev/null)" ]; then
    echo "Provisioning the device root $root"
    build/bin/otdrtool provision "$root"
fi

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != offscreen ]; then
    echo "Starting Lumetra (F1-F4, arrows, Enter, Escape, T, V; F12 is the power key)"
    exec build/bin/Lumetra
fi

shots=${LUMETRA_SHOTS:-$PWD/build/shots}
mkdir -p "$shots"
cat > build/run-demo.script <<SCRIPT
wait 500
shot $shots/1-start.png
load $PWD/data/traces/sample_16km.st
wait 200
shot $shots/2-trace.png
hold VK_RIGHT 30
key VK_RETURN
hold VK_RIGHT 14
wait 200
shot $shots/3-cursors.png
key F1
key F1
key VK_UP
key VK_UP
wait 200
shot $shots/4-zoomed.png
key F2
key VK_UP
key VK_UP
wait 200
shot $shots/5-vertical-zoom.png
key F3
key F4
key F12
wait 300
shot $shots/6-power-question.png
answer no
wait 200
quit
SCRIPT
echo "No display here. To use the instrument from another machine, run it over VNC:"
echo "  LUMETRA_ROOT=$root build/bin/Lumetra -platform vnc:size=320x240:port=5900"
echo "and connect a VNC viewer to port 5900. Now running it headless (offscreen) for a short look:"
set +e
QT_QPA_PLATFORM=offscreen build/bin/Lumetra --script build/run-demo.script
status=$?
set -e
echo "Lumetra ended with exit code $status (18 is the quit code). Screenshots: $shots"
ls "$shots"
