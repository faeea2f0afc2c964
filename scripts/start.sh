#!/usr/bin/env bash
# Sets up and starts the application on this machine: installs what the
# build needs, builds, and runs kx520. With no supported device attached it
# adds the virtual devices, so everything can be seen without the hardware;
# without a display it writes a screenshot of the main window instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build

options=()
problems=$(mktemp)
listing=$(build/bin/kx520ctl list 2>"$problems") || true
# A device that is there but closed to this user is said, with the udev
# rule that opens it, before anything else happens.
if [ -s "$problems" ]; then
    cat "$problems" >&2
fi
rm -f "$problems"
if [ -n "$listing" ] && [ "$listing" != "No supported device found." ]; then
    printf 'Devices found:\n%s\n' "$listing" >&2
else
    echo "No usable device attached: starting with the virtual devices." >&2
    options+=(--simulate)
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    shot="$PWD/build/kx520-screenshot.png"
    echo "No display: running headless for a few seconds." >&2
    build/bin/kx520 "${options[@]}" --screenshot "$shot" --exit-after 4000 "$@"
    echo "The main window is in $shot" >&2
    exit 0
fi
exec build/bin/kx520 "${options[@]}" "$@"
