#!/usr/bin/env bash
# Installs everything the build, the tests and the benchmarks need on Debian 12.
# Safe to run again: apt skips what is already there.
set -euo pipefail

packages=(
    build-essential cmake ninja-build ccache pkg-config clang
    # clang only recommends these: the sanitizer fuzz build links libFuzzer and the
    # ASan/UBSan runtimes, and the symbolizer names the frames of a finding.
    libclang-rt-14-dev llvm-14
    libgtest-dev libgmock-dev libbenchmark-dev
    libjsoncpp-dev
    libfuse3-dev fuse3
    libevdev-dev
    qt6-base-dev libgl-dev
    fonts-dejavu-core fontconfig fonts-noto-cjk fonts-noto-core
    dbus dbus-bin dbus-daemon libdbus-1-dev
    # The headset's audio plug-in speaks to the sound server; its equaliser
    # and voice changer are LADSPA filters. The tests run a private server
    # and measure what comes out.
    libpulse-dev pulseaudio pulseaudio-utils caps rubberband-ladspa sox
    # The update check: libcurl for HTTP and TLS against the system's CA
    # store, libproxy for the user's proxy. The tests run a loopback service
    # (cpp-httplib) with a CA that openssl makes at test time.
    libcurl4-openssl-dev ca-certificates libproxy-dev libcpp-httplib-dev openssl
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
