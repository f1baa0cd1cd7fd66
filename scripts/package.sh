#!/usr/bin/env bash
# Builds every release artefact into dist/: the Debian package, the Windows zips (x64 and
# x86) and the web zip; then SHA256SUMS over them. The version is
# project()'s in CMakeLists.txt. The Debian package must pass lintian without errors.
#
# Usage: scripts/package.sh [--no-build] [--dist DIR]
#   --no-build  pack the release, win64, win32 and web builds as they are (the test command
#               has just built them); without it they are configured and built first
#   --dist DIR  write the artefacts into DIR instead of dist/; earlier artefacts there are
#               replaced, and a folder that holds anything else is refused
#
# Without --no-build it first runs scripts/install-deps.sh package, which installs with apt
# what is missing (as root); it installs nothing else.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
root=$PWD
dist=$root/dist
build=1
while [ $# -gt 0 ]; do
    case $1 in
    --no-build) build=0 ;;
    --dist)
        [ -n "${2:-}" ] || { echo "package: --dist needs a folder" >&2; exit 2; }
        dist=$(realpath -m "$2")
        shift
        ;;
    -h | --help)
        awk 'NR > 1 && /^#/ { sub(/^# ?/, ""); print; next } NR > 1 { exit }' "$0"
        exit 0
        ;;
    *)
        echo "package: unknown argument $1 (see scripts/package.sh --help)" >&2
        exit 2
        ;;
    esac
    shift
done

say() { echo "package: $*"; }
fail() {
    echo "package: $*" >&2
    exit 1
}
logs=$root/build/logs
mkdir -p "$logs" || fail "cannot make $logs"
# Runs a step with its output in a log; on failure shows the log's end and stops.
logged() {
    local what=$1 log=$logs/package-${1// /-}.log
    shift
    if ! "$@" >"$log" 2>&1; then
        tail -n 25 "$log" >&2
        fail "$what failed; the whole log is $log"
    fi
}

if [ "$build" -eq 1 ]; then
    scripts/install-deps.sh package || fail "scripts/install-deps.sh package failed; see above"
fi
missing=()
for tool in cmake cpack dpkg-deb dpkg-shlibdeps lintian gzip sha256sum zip; do
    command -v "$tool" >/dev/null || missing+=("$tool")
done
[ ${#missing[@]} -eq 0 ] || fail "missing ${missing[*]}; install them with: scripts/install-deps.sh package (as root)"

presets=(release win64 win32)
for preset in "${presets[@]}"; do
    if [ "$build" -eq 1 ]; then
        say "building the $preset preset (minutes the first time, seconds when up to date)"
        logged "$preset build" bash -c "cmake --preset $preset && cmake --build --preset $preset -j $(nproc)"
    elif [ ! -f "build/$preset/CPackConfig.cmake" ]; then
        fail "build/$preset is not configured; run scripts/package.sh without --no-build"
    fi
done

# Every build must have been configured from the same version.
version=
for preset in "${presets[@]}"; do
    v=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "build/$preset/CMakeCache.txt")
    [ -n "$v" ] || fail "build/$preset/CMakeCache.txt names no project version"
    [ -z "$version" ] || [ "$v" = "$version" ] ||
        fail "build/$preset was configured for version $v, build/release for $version; build again without --no-build"
    version=$v
done
say "version $version"

# Only earlier artefacts are removed: a wrong --dist must not cost anyone their files.
if [ -d "$dist" ]; then
    others=$(find "$dist" -mindepth 1 -maxdepth 1 ! -name 'vexalmini[-_]*.deb' ! -name 'vexalmini-*.zip' \
        ! -name SHA256SUMS -printf '%f\n' | head -n 3 | paste -sd ' ')
    [ -z "$others" ] || fail "$dist holds other files than packages ($others ...); choose another --dist"
    find "$dist" -mindepth 1 -maxdepth 1 -delete || fail "cannot empty $dist"
fi
mkdir -p "$dist" || fail "cannot make $dist"

# cpack installs the build into a staging folder of its own and packs that.
pack() {
    local preset=$1 generator=$2 file=$3 out=$root/build/$1/packages
    say "packing $file"
    rm -rf "$out"
    logged "$preset cpack" bash -c "cd build/$preset && cpack -G $generator -B '$out'"
    [ -f "$out/$file" ] || fail "cpack made no $file in $out (see $logs/package-$preset-cpack.log)"
    cp "$out/$file" "$dist/" || fail "cannot copy $file into $dist"
}
deb=vexalmini_${version}_amd64.deb
pack release DEB "$deb"
pack win64 ZIP "vexalmini-$version-win64.zip"
pack win32 ZIP "vexalmini-$version-win32.zip"

if [ "$build" -eq 1 ]; then
    say "building the web preset"
    logged "web build" bash -c "cmake --preset web && cmake --build --preset web -j $(nproc)"
fi
[ -f build/web/site/index.html ] || fail "build/web/site is not built (cmake --preset web && cmake --build --preset web)"
say "packing vexalmini-$version-web.zip"
(cd build/web/site && zip -q -r -X "$dist/vexalmini-$version-web.zip" .) || fail "cannot zip build/web/site"

say "checking $deb with lintian (errors fail, warnings are shown)"
if ! lint=$(lintian --fail-on error "$dist/$deb" 2>&1); then
    grep -v 'running with root privileges' <<<"$lint" >&2
    fail "lintian found errors in $deb"
fi
grep -v 'running with root privileges' <<<"$lint" | sed 's/^/    /'

artefacts=$(find "$dist" -maxdepth 1 -type f -printf '%f\n' | LC_ALL=C sort)
(cd "$dist" && xargs sha256sum -- <<<"$artefacts" >SHA256SUMS) || fail "cannot write SHA256SUMS"
say "done: $(paste -sd ' ' <<<"$artefacts") and SHA256SUMS in $dist"
