#!/usr/bin/env bash
# Installs the Debian packages the project needs, skipping those present.
#   install-deps.sh run    what building and running the programs need
#   install-deps.sh test   that and the test tools (the default)
#   install-deps.sh --list run|test   prints that list, one package a line, installs nothing
set -euo pipefail

# Building and running: compiler, build tools, libudev, xkbcommon, GIO (the desktop's pointer
# settings), xcb (the application in front on X11) and Qt 6.
run_packages=(
    cmake ninja-build g++ pkg-config
    libxkbcommon-dev xkb-data libudev-dev libglib2.0-dev libxcb1-dev
    qt6-base-dev qt6-base-dev-tools libgl-dev
    # a small font with the Chinese glyphs, which the default desktop fonts lack
    fonts-wqy-microhei
)

# Testing only: test frameworks, benchmarks, clang for the fuzz targets, and for the kernel
# test QEMU, a static busybox and cpio for the guest.
test_packages=(
    clang libclang-rt-14-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    qemu-system-x86 busybox-static cpio
    # the window test on a real X server: the server, a tray host, the user's hands and eyes
    xvfb trayer xdotool imagemagick python3
    # the tray and notification tests: a private session bus and GIO for the stand-in
    # StatusNotifier host and notification service
    dbus-daemon python3-gi
    # the X tests find controls through the desktop's accessibility tree: a session bus, the
    # accessibility bus and registry, and the Python bindings that read the tree
    at-spi2-core python3-pyatspi
    # the GNOME pointer settings schema, which the pointer-settings tests write through GSettings
    gsettings-desktop-schemas
    # the window benchmarks read the X events of the display with xev
    x11-utils
    # the package checks: building and linting the Debian package, validating the desktop
    # entry, AppStream data and man pages, and the bash completion helpers
    dpkg-dev lintian desktop-file-utils appstream groff-base bash-completion
)

list_only=0
if [ "${1:-}" = "--list" ]; then
    list_only=1
    shift
fi
case "${1:-test}" in
    run) packages=("${run_packages[@]}") ;;
    test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
    *)
        echo "usage: $0 [run|test]" >&2
        exit 2
        ;;
esac

if [ "$list_only" -eq 1 ]; then
    printf '%s\n' "${packages[@]}"
    exit 0
fi

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
