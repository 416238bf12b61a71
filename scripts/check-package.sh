#!/usr/bin/env bash
# Checks what a user installs, from a finished build (default build/default): the Debian
# package has no lintian errors and its unpacked programs run with nothing but their own
# files; the desktop entry, AppStream data and man pages validate; the bash completion knows
# the tool's commands and settings; and `cmake --install --prefix` as a normal user succeeds
# and writes nothing outside the prefix.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build/default}")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"  # a normal user installs below it

fail() {
    echo "check-package: $*" >&2
    exit 1
}
section() { printf -- '-- %s\n' "$*"; }

# Runs a program with an empty environment: only HOME, and a PATH that finds nothing.
run_bare() {
    local home=$1
    shift
    mkdir -p "$home"
    env -i HOME="$home" PATH=/nonexistent "$@"
}

section "Debian package"
rm -rf "$build/package"
if ! (cd "$build" && cpack -G DEB >"$work/cpack.log" 2>&1); then
    cat "$work/cpack.log" >&2
    fail "cpack failed"
fi
debs=("$build"/package/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one package in $build/package"
deb=${debs[0]}
dpkg-deb --field "$deb" Package Version Depends

section "lintian (errors fail, warnings are shown)"
lintian --fail-on error --info "$deb" || fail "lintian found errors"

section "unpacked package: files in place, vantorctl runs with only its own files"
root=$work/root
dpkg-deb -x "$deb" "$root"
expected=(
    usr/bin/vantorctl usr/share/vantor/cfg.ini usr/share/vantor/text.xml
    usr/lib/udev/rules.d/70-vantor.rules usr/share/man/man1/vantorctl.1.gz
    usr/share/bash-completion/completions/vantorctl
    usr/share/doc/vantor/copyright usr/share/doc/vantor/changelog.gz
    usr/share/doc/vantor/README.md
)
if [ -e "$root/usr/bin/vantor" ]; then
    app_id=$(basename "$build"/packaging/*.desktop .desktop)
    expected+=(
        usr/share/man/man1/vantor.1.gz "usr/share/applications/$app_id.desktop"
        "usr/share/metainfo/$app_id.metainfo.xml" usr/share/vantor/appico.ico
        usr/share/vantor/appico.png usr/share/vantor/skins/key_nr.png
    )
    for size in 16 22 24 32 48 64 128 256; do
        expected+=("usr/share/icons/hicolor/${size}x$size/apps/$app_id.png")
    done
fi
for path in "${expected[@]}"; do
    [ -e "$root/$path" ] || fail "the package lacks /$path"
done
run_bare "$work/home" "$root/usr/bin/vantorctl" --simulate info >"$work/info.txt" ||
    fail "the unpacked vantorctl failed: $(cat "$work/info.txt")"
grep -qi battery "$work/info.txt" || fail "vantorctl info printed no battery: $(cat "$work/info.txt")"

section "desktop entry, AppStream data, man pages"
for entry in "$build"/packaging/*.desktop; do
    desktop-file-validate "$entry" || fail "desktop-file-validate: $entry"
done
for metainfo in "$build"/packaging/*.metainfo.xml; do
    appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate: $metainfo"
done
for page in "$build"/packaging/*.1; do
    warnings=$(groff -ww -man -Tutf8 "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "groff warns about $page: $warnings"
done

# One version everywhere: the one project() gives, which the programs print.
version=$(sed -n 's/^project(vantor VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
for program in vantor vantorctl; do
    [ "$("$build/bin/$program" --version)" = "$program $version" ] ||
        fail "$program --version does not print the project version $version"
done
for page in "$build"/packaging/*.1; do
    grep -q "\"vantor $version\"" "$page" || fail "$page does not name version $version"
done

section "bash completion offers the tool's commands, settings and button functions"
ctl=("$root/usr/bin/vantorctl")
completion=packaging/vantorctl.bash-completion
bash_completion=/usr/share/bash-completion/bash_completion
[ -r "$bash_completion" ] || fail "bash-completion is not installed"
# The completions for a command line whose last word is being typed.
complete_line() {
    bash -c 'source "$1" && source "$2" && shift 2 &&
        COMP_WORDS=("$@") && COMP_CWORD=$(($# - 1)) && COMP_LINE="$*" &&
        COMP_POINT=${#COMP_LINE} && _vantorctl vantorctl "${COMP_WORDS[-1]}" &&
        printf "%s\n" "${COMPREPLY[@]}"' _ "$bash_completion" "$completion" "$@" |
        sed 's/ *$//' | sort -u
}
# Every word the tool lists must be offered.
expect_offered() {
    local what=$1 listed=$2 offered=$3 missing
    missing=$(comm -23 <(tr ' ' '\n' <<<"$listed" | sed '/^$/d' | sort -u) <(echo "$offered"))
    [ -z "$missing" ] || fail "the completion lacks the $what: $missing"
}
usage=$(run_bare "$work/home" "${ctl[@]}" --help)
commands=$(awk '/^commands:/ {on = 1; next} on && NF {print $1}' <<<"$usage")
expect_offered commands "$commands" "$(complete_line vantorctl '')"
set_help=$(run_bare "$work/home" "${ctl[@]}" set help)
settings=$(awk '/^settings/ {on = 1; next} on && !NF {exit} on {print $1}' <<<"$set_help")
expect_offered settings "$settings" "$(complete_line vantorctl --json set '')"
functions=$(sed -n 's/^FUNCTION is one of \([^,]*\),.*/\1/p' <<<"$set_help")
prefixes=$(grep -o '[a-z-]*:[A-Z]' <<<"$set_help" | sed 's/[A-Z]$//' | sort -u)
[ -n "$functions" ] && [ -n "$prefixes" ] || fail "set help lists no button functions"
expect_offered "button functions" "$functions $prefixes" "$(complete_line vantorctl set button 3 '')"

section "cmake --install --prefix as a normal user stays inside the prefix"
prefix=$work/prefix
manifest=$build/install_manifest.txt
as_user=()
if [ "$(id -u)" -eq 0 ]; then
    command -v setpriv >/dev/null || fail "setpriv is needed to install as a normal user"
    mkdir -p "$prefix"
    chown nobody:nogroup "$prefix"
    # The install writes its manifest into the build folder, which stays root's.
    owner=$(stat -c %u:%g "$build")
    touch "$manifest"
    chown nobody:nogroup "$manifest"
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
install_ok=0
"${as_user[@]}" cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || install_ok=$?
[ "$(id -u)" -eq 0 ] && chown "$owner" "$manifest"
[ "$install_ok" -eq 0 ] || fail "install under a prefix failed: $(cat "$work/install.log")"
[ -s "$manifest" ] || fail "the install wrote no manifest"
outside=$(grep -v "^$prefix/" "$manifest" || true)
[ -z "$outside" ] || fail "the install wrote outside its prefix: $outside"
[ -f "$prefix/lib/udev/rules.d/70-vantor.rules" ] || fail "no udev rule below the prefix"
run_bare "$work/home2" "$prefix/bin/vantorctl" --simulate info >"$work/info2.txt" ||
    fail "vantorctl installed under a prefix failed: $(cat "$work/info2.txt")"

echo "check-package: all checks passed"
