#!/usr/bin/env bash
# Proves that a new machine gets everything the build looks up from scripts/install-deps.sh,
# whatever else happens to be installed here. It configures the build as scripts/run.sh does
# (run list) and with everything on (tests, benchmarks, fuzz targets: run and test lists), and
# for each file that satisfied a lookup (the build records them in dependencies.tsv) asks dpkg
# which package owns it. That package must be in the right list, or be pulled in by one that
# is (Depends and Pre-Depends, first alternative, as apt installs them without recommends).
# Also refuses a lookup that bypasses the recording wrappers of cmake/Dependencies.cmake.
set -euo pipefail
cd "$(dirname "$0")/.."

failures=0
fail() {
    echo "dependency check: $*" >&2
    failures=$((failures + 1))
}

# --- every lookup goes through the recording wrappers ------------------------------------
raw=$(git ls-files -- '*CMakeLists.txt' '*.cmake' | grep -v '^cmake/Dependencies.cmake$' |
    xargs grep -nE '^[^#]*(^|[^_a-z])(find_package|pkg_check_modules|pkg_search_module|find_program|find_library|find_path|find_file)\(' ||
    true)
if [ -n "$raw" ]; then
    while IFS= read -r line; do
        fail "$line: look it up through the vantor_ wrapper of cmake/Dependencies.cmake"
    done <<<"$raw"
fi

# --- the packages each list brings, with everything they depend on -----------------------
# One line per installed package: name, its Depends and Pre-Depends, what it provides.
installed=$(dpkg-query -W -f='${Package}\t${Status}\t${Depends}, ${Pre-Depends}\t${Provides}\n' |
    awk -F'\t' '$2 ~ / installed$/ {print $1 "\t" $3 "\t" $4}')

closure_of() {
    awk -F'\t' -v roots="$*" '
        function first_alternative(dep,   alt) {
            split(dep, alt, "|")
            dep = alt[1]
            sub(/\(.*\)/, "", dep)
            gsub(/[ \t]/, "", dep)
            sub(/:.*/, "", dep)
            return dep
        }
        {
            deps[$1] = $2
            n = split($3, prov, ",")
            for (i = 1; i <= n; i++) {
                p = prov[i]; sub(/\(.*\)/, "", p); gsub(/[ \t]/, "", p); sub(/:.*/, "", p)
                if (p != "") providers[p] = providers[p] " " $1
            }
        }
        END {
            count = split(roots, queue, " ")
            for (head = 1; head <= count; head++) {
                pkg = queue[head]
                if (pkg == "" || (pkg in seen)) continue
                seen[pkg] = 1
                print pkg
                # A virtual package stands for the installed packages that provide it.
                if (!(pkg in deps) && (pkg in providers)) {
                    m = split(providers[pkg], real, " ")
                    for (j = 1; j <= m; j++) queue[++count] = real[j]
                    continue
                }
                n = split(deps[pkg], list, ",")
                for (i = 1; i <= n; i++) {
                    d = first_alternative(list[i])
                    if (d != "" && !(d in seen)) queue[++count] = d
                }
            }
        }' <<<"$installed" | sort -u
}

mapfile -t run_list < <(scripts/install-deps.sh --list run)
mapfile -t test_list < <(scripts/install-deps.sh --list test)
for pkg in "${test_list[@]}"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" ||
        fail "$pkg is in the install list but not installed: run scripts/install-deps.sh"
done
run_closure=$(closure_of "${run_list[@]}")
test_closure=$(closure_of "${test_list[@]}")

# The package that owns a file, trying the resolved path and the /usr-merged twins.
owner_of() {
    local file=$1 candidates=() path
    candidates+=("$file" "$(readlink -f "$file")")
    for path in "${candidates[@]}"; do
        case "$path" in
            /usr/*) candidates+=("${path#/usr}") ;;
            /*) candidates+=("/usr$path") ;;
        esac
    done
    for path in "${candidates[@]}"; do
        local found
        found=$(dpkg-query -S "$path" 2>/dev/null | grep -v '^diversion' | head -n 1) || true
        if [ -n "$found" ]; then
            found=${found%%: *}
            found=${found%%,*}
            echo "${found%%:*}"
            return 0
        fi
    done
    return 1
}

# check_report REPORT LIST-NAME CLOSURE
check_report() {
    local report=$1 list_name=$2 closure=$3 kind name file owner
    [ -s "$report" ] || {
        fail "$report is missing or empty: the build recorded no lookups"
        return
    }
    while IFS=$'\t' read -r kind name file; do
        if [ -z "$file" ] || [[ "$file" == *NOTFOUND ]] || [ ! -e "$file" ]; then
            fail "$kind $name was not found (scripts/install-deps.sh must install it)"
            continue
        fi
        if ! owner=$(owner_of "$file"); then
            fail "$kind $name ($file) belongs to no Debian package: install it from one in scripts/install-deps.sh"
            continue
        fi
        if ! grep -qxF "$owner" <<<"$closure"; then
            fail "$kind $name ($file) comes from package $owner, which the $list_name list of scripts/install-deps.sh does not install"
            continue
        fi
        echo "ok  $kind $name: $owner"
    done <"$report"
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
configure() {
    local dir=$1
    shift
    if ! cmake -S . -B "$work/$dir" -G Ninja -DVANTOR_WERROR=ON "$@" >"$work/$dir.log" 2>&1; then
        cat "$work/$dir.log" >&2
        fail "configuring the $dir build failed (above)"
        return 1
    fi
}

echo "-- what scripts/run.sh builds: run list"
if configure run -DVANTOR_TESTS=OFF; then
    check_report "$work/run/dependencies.tsv" run "$run_closure"
fi
echo "-- tests and benchmarks: run and test lists"
if configure all -DVANTOR_TESTS=ON -DVANTOR_BENCH=ON; then
    check_report "$work/all/dependencies.tsv" test "$test_closure"
fi
echo "-- fuzz targets (clang): run and test lists"
if configure fuzz -DCMAKE_CXX_COMPILER=clang++ -DVANTOR_FUZZ=ON -DVANTOR_TESTS=OFF -DVANTOR_UI=OFF; then
    check_report "$work/fuzz/dependencies.tsv" test "$test_closure"
fi

if [ "$failures" -gt 0 ]; then
    echo "dependency check FAILED: $failures problem(s)" >&2
    exit 1
fi
echo "dependency check passed"
