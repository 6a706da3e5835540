#!/bin/sh
# Installs every Debian package Tenvaro needs to build, run and test.
# Run as root (or through sudo) on Debian 12.
set -eu
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends \
    build-essential cmake pkg-config \
    qt6-base-dev qt6-base-dev-tools libgl-dev \
    fonts-ipafont-gothic fonts-umeplus \
    libgtest-dev libgmock-dev libbenchmark-dev \
    xvfb xauth x11-utils xdotool wmctrl openbox imagemagick hyperfine \
    qemu-system-x86 busybox-static cpio kmod \
    python3 libsm-dev libice-dev \
    dpkg-dev fakeroot file debootstrap
