#!/usr/bin/env bash
# Sets up and starts the program on this machine: installs what the build
# needs, builds, and runs it. With no supported device attached it uses the
# virtual devices, so everything can be seen without the hardware.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build

# Until the desktop application lands, the command-line tool shows what the
# device scan finds: real devices when attached, else every virtual device.
if listing=$(build/bin/kx520ctl list); then
    if [ "$listing" != "No supported device found." ]; then
        printf '%s\n' "$listing"
        exit 0
    fi
else
    printf '%s\n' "$listing"
fi
echo "No usable device attached; showing the virtual devices." >&2
exec build/bin/kx520ctl list --simulate "$@"
