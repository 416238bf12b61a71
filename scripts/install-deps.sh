#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and running the program need, skipping
# those present.
set -euo pipefail

packages=(
    cmake ninja-build g++ clang libclang-rt-14-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    libxkbcommon-dev xkb-data libudev-dev pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    # running: a small font with the Chinese glyphs, which the default desktop fonts lack
    fonts-wqy-microhei
    # the window test on a real X server: the server, a tray host, the user's hands and eyes
    xvfb trayer xdotool imagemagick
    # the kernel test: QEMU, a static busybox and cpio for the guest
    qemu-system-x86 busybox-static cpio
    # the package checks: building and linting the Debian package, validating the desktop
    # entry, AppStream data and man pages, and the bash completion helpers
    dpkg-dev lintian desktop-file-utils appstream groff-base bash-completion
)

missing=()
for pkg in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$pkg")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
