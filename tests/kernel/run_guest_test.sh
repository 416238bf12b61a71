#!/usr/bin/env bash
# Boots a stock Debian kernel under QEMU (software emulation) with an initramfs that holds
# busybox, the hid, hid-generic and uhid modules, our programs with their shared libraries
# and program folder, and the in-guest checks. The guest starts uhid-bridge, which turns
# the simulated mouse into real hidraw nodes, runs the checks and prints one result line;
# QEMU's exit code says nothing about the guest, so that line decides.
#
#   run_guest_test.sh --bin BUILD/bin --cache DIR --checks guest_checks.sh
#
# The kernel package is fetched with apt-get download and unpacked with dpkg-deb -x into
# DIR once; later runs reuse it. Anything missing fails the test with a clear message.
set -euo pipefail

bin="" cache="" checks=""
while [ $# -gt 0 ]; do
    case "$1" in
        --bin) bin=$2; shift 2 ;;
        --cache) cache=$2; shift 2 ;;
        --checks) checks=$2; shift 2 ;;
        *) echo "usage: $0 --bin DIR --cache DIR --checks FILE" >&2; exit 2 ;;
    esac
done

fail() {
    echo "kernel test FAILED: $*" >&2
    exit 1
}

[ -n "$bin" ] && [ -n "$cache" ] && [ -n "$checks" ] || fail "missing arguments"
for program in vantorctl uhid-bridge vantor-hidraw-probe; do
    [ -x "$bin/$program" ] || fail "$bin/$program is not built"
done
[ -f "$bin/cfg.ini" ] || fail "$bin holds no cfg.ini"
command -v qemu-system-x86_64 >/dev/null ||
    fail "qemu-system-x86_64 not found: install qemu-system-x86 (scripts/install-deps.sh)"
command -v cpio >/dev/null || fail "cpio not found: install cpio (scripts/install-deps.sh)"
busybox=/bin/busybox
[ -x "$busybox" ] && ! ldd "$busybox" >/dev/null 2>&1 ||
    fail "no static $busybox: install busybox-static (scripts/install-deps.sh)"

mkdir -p "$cache"
cache=$(cd "$cache" && pwd)
kernel="$cache/kernel"

# --- kernel and modules, cached ---------------------------------------------------------
# name, config option: copies the module as a plain .ko into $kernel/modules; nothing when
# the kernel has it built in.
unpack_module() {
    local name=$1 option=$2 found
    found=$(find "$cache/unpack" -path "*/modules/*/kernel/drivers/hid/$name.ko*" | head -n 1)
    if [ -z "$found" ]; then
        grep -qx "$option=y" "$cache/unpack"/boot/config-* ||
            fail "the kernel package has no module $name"
        return 0
    fi
    case "$found" in
        *.ko) cp "$found" "$kernel/modules/$name.ko" ;;
        *.ko.xz) xz -dc "$found" >"$kernel/modules/$name.ko" ;;
        *.ko.zst) zstd -qdc "$found" >"$kernel/modules/$name.ko" ;;
        *.ko.gz) gzip -dc "$found" >"$kernel/modules/$name.ko" ;;
        *) fail "unknown module format $found" ;;
    esac
}

kernel_package() {
    apt-cache depends linux-image-amd64 2>/dev/null |
        awk '/Depends: linux-image-[0-9]/ { print $2; exit }'
}

if [ ! -f "$kernel/ready" ]; then
    echo "kernel test: fetching the kernel package"
    package=$(kernel_package)
    if [ -z "$package" ] && [ "$(id -u)" -eq 0 ]; then
        apt-get update -qq >/dev/null 2>&1 || true
        package=$(kernel_package)
    fi
    [ -n "$package" ] ||
        fail "apt-cache does not know the package linux-image-amd64 depends on (run apt-get update)"
    rm -rf "$cache/download" "$cache/unpack" "$kernel"
    mkdir -p "$cache/download" "$kernel/modules"
    # apt's download user may not write into root-owned build folders.
    chmod 777 "$cache/download"
    (cd "$cache/download" && apt-get download -q "$package" >/dev/null) ||
        fail "apt-get download $package failed"
    dpkg-deb -x "$cache/download"/*.deb "$cache/unpack" || fail "dpkg-deb -x of $package failed"
    vmlinuz=$(find "$cache/unpack/boot" -name 'vmlinuz-*' | head -n 1)
    [ -n "$vmlinuz" ] || fail "$package holds no vmlinuz"
    cp "$vmlinuz" "$kernel/vmlinuz"
    unpack_module hid CONFIG_HID
    unpack_module hid-generic CONFIG_HID_GENERIC
    unpack_module uhid CONFIG_UHID
    echo "$package" >"$kernel/package"
    rm -rf "$cache/unpack"
    touch "$kernel/ready"
fi

# --- initramfs, rebuilt every run from the current programs ------------------------------
root="$cache/root"
rm -rf "$root"
mkdir -p "$root"/{bin,dev,proc,sys,tmp,run,lib/modules,opt/vantor}
cp "$busybox" "$root/bin/busybox"
cp -r "$kernel/modules/." "$root/lib/modules/"
cp "$checks" "$root/checks.sh"

# The program folder: programs (without debug sections, so the guest loads less) and the
# shipped data they read.
for program in vantorctl uhid-bridge vantor-hidraw-probe; do
    if command -v strip >/dev/null; then
        strip --strip-debug -o "$root/opt/vantor/$program" "$bin/$program"
    else
        cp "$bin/$program" "$root/opt/vantor/$program"
    fi
done
cp "$bin/cfg.ini" "$root/opt/vantor/"
if [ -f "$bin/text.xml" ]; then cp "$bin/text.xml" "$root/opt/vantor/"; fi
for language in "$bin"/*/; do
    if [ -f "$language/text.xml" ]; then cp -r "$language" "$root/opt/vantor/"; fi
done

# Shared libraries at the paths the programs' loader looks for them.
for program in vantorctl uhid-bridge vantor-hidraw-probe; do
    ldd "$bin/$program" | awk '/=> \// { print $3 } /^[ \t]*\// { print $1 }'
done | sort -u | while read -r library; do
    mkdir -p "$root$(dirname "$library")"
    cp -L "$library" "$root$library"
done

cat >"$root/init" <<'INIT'
#!/bin/busybox sh
/bin/busybox --install -s /bin
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
# hid-generic binds the uhid devices; without it no hidraw node appears. A module that is
# not there is built into the kernel.
for module in hid hid-generic uhid; do
    if [ -f /lib/modules/$module.ko ]; then
        insmod /lib/modules/$module.ko || echo "insmod $module failed"
    fi
done
export PATH=/opt/vantor:/bin HOME=/tmp
# A check that hangs still ends the guest with a result line.
(sleep 90 && echo "VANTOR-GUEST-RESULT: FAIL the checks did not finish within 90 s" &&
    poweroff -f) &
sh /checks.sh
sync
poweroff -f
INIT
chmod +x "$root/init" "$root/checks.sh"
(cd "$root" && find . | cpio -o -H newc --quiet >"$cache/initramfs.cpio") ||
    fail "building the initramfs failed"

# --- boot ----------------------------------------------------------------------------------
log="$cache/serial.log"
rm -f "$log"
echo "kernel test: booting $(cat "$kernel/package") under QEMU"
status=0
timeout 110 qemu-system-x86_64 -accel tcg -m 512 -smp 1 -display none -monitor none \
    -nic none -no-reboot -serial "file:$log" \
    -kernel "$kernel/vmlinuz" -initrd "$cache/initramfs.cpio" \
    -append "console=ttyS0 quiet loglevel=3 panic=-1" </dev/null || status=$?
[ -f "$log" ] || fail "QEMU did not start (exit $status)"
tr -d '\r' <"$log" | grep -E '^(check|  |VANTOR-GUEST)' || true
[ "$status" -eq 124 ] && fail "the guest did not finish within 110 s (log: $log)"
result=$(tr -d '\r' <"$log" | grep '^VANTOR-GUEST-RESULT:' | tail -n 1 || true)
[ -n "$result" ] || { tail -n 40 "$log" >&2; fail "the guest printed no result line (log: $log)"; }
case "$result" in
    "VANTOR-GUEST-RESULT: PASS"*) echo "kernel test: $result" ;;
    *) fail "$result (log: $log)" ;;
esac
