#!/usr/bin/env bash
# Builds every release artefact into dist/: the Debian package, the Windows zips (x64 and
# x86) and the web zip; then SHA256SUMS over them. The version is
# project()'s in CMakeLists.txt. The Debian package must pass lintian without errors.
#
# Usage: scripts/package.sh [--no-build] [--dist DIR]
#   --no-build  pack the release, win64, win32 and web builds as they are (the test command
#               has just built them); without it they are configured and built first
#   --dist DIR  write the artefacts into DIR (relative to the current folder) instead of the
#               checkout's dist/. DIR may hold this version's artefacts, which are replaced,
#               and nothing else: a folder that holds anything else is refused before
#               anything is built
#
# Everything is packed and checked in a new folder inside DIR, and put in place only when
# all of it is there, so a run that fails leaves DIR as it was. The archives carry the last
# commit's time (SOURCE_DATE_EPOCH, unless it is set) and list their files in name order:
# the same commit gives the same bytes, whenever and wherever it is packed.
#
# Without --no-build it first runs scripts/install-deps.sh package, which installs with apt
# what is missing (as root); it installs nothing else.
set -uo pipefail
usage() { awk 'NR > 1 && /^#/ { sub(/^# ?/, ""); print; next } NR > 1 { exit }' "$0"; }
caller=$PWD
cd "$(dirname "$0")/.." || exit 1
root=$PWD
dist=$root/dist
build=1
while [ $# -gt 0 ]; do
    case $1 in
    --no-build) build=0 ;;
    --dist)
        # A missing value must not take the next option for a folder.
        case ${2:-} in
        '' | -*)
            echo "package: --dist needs a folder" >&2
            usage >&2
            exit 2
            ;;
        /*) dist=$(realpath -m -- "$2") ;;
        *) dist=$(realpath -m -- "$caller/$2") ;;
        esac
        shift
        ;;
    -h | --help)
        usage
        exit 0
        ;;
    *)
        echo "package: unknown argument $1" >&2
        usage >&2
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
umask 022
export LC_ALL=C TZ=UTC # zip keeps local times: UTC makes them the same everywhere

version=$(sed -n 's/^project(VexalMini VERSION \([0-9][0-9.]*\)[ )].*/\1/p' CMakeLists.txt)
[ -n "$version" ] || fail "CMakeLists.txt's project() names no version"
deb=vexalmini_${version}_amd64.deb
packages=("vexalmini-$version-web.zip" "vexalmini-$version-win32.zip" "vexalmini-$version-win64.zip" "$deb")

# The only files a run replaces are this version's artefacts, by name; a folder holding
# anything else (whatever a SHA256SUMS there lists) is refused, so a mistyped --dist costs
# nobody their files.
ours() {
    local name
    for name in "${packages[@]}" SHA256SUMS; do
        [ "$1" != "$name" ] || return 0
    done
    return 1
}
if [ -e "$dist" ] || [ -L "$dist" ]; then
    [ -d "$dist" ] || fail "$dist is not a folder; choose another --dist"
    others=()
    while IFS= read -r -d '' path; do
        name=${path##*/}
        if ! ours "$name" || [ -L "$path" ] || [ ! -f "$path" ]; then
            others+=("$name")
        fi
    done < <(find "$dist" -mindepth 1 -maxdepth 1 -print0 | sort -z)
    if [ ${#others[@]} -gt 0 ]; then
        shown=$(printf '%s\n' "${others[@]:0:5}" | paste -sd ' ')
        [ ${#others[@]} -le 5 ] || shown="$shown and $((${#others[@]} - 5)) more"
        fail "$dist holds other things than version $version's artefacts ($shown);" \
            "move them away or choose another --dist"
    fi
fi

# The new artefacts are made in here; it also proves, before any build, that DIR takes files.
made_dist=0
if [ ! -d "$dist" ]; then
    mkdir -p -- "$dist" 2>/dev/null || fail "cannot make the folder $dist; choose another --dist"
    made_dist=1
fi
stage=$(mktemp -d "$dist/.package.XXXXXX" 2>/dev/null) || fail "cannot write into $dist; choose another --dist"
cleanup() {
    rm -rf -- "$stage"
    [ "$made_dist" -eq 0 ] || rmdir -- "$dist" 2>/dev/null
}
trap cleanup EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null) ||
        fail "$root is not a git checkout: set SOURCE_DATE_EPOCH to the release's time (seconds since 1970)"
fi
# Zip times start in 1980.
if ! [[ $SOURCE_DATE_EPOCH =~ ^[0-9]+$ ]] || [ "$SOURCE_DATE_EPOCH" -lt 315532800 ]; then
    fail "SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH is not a time after 1980 in seconds since 1970"
fi
export SOURCE_DATE_EPOCH

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
for tool in cmake cpack dpkg-deb dpkg-shlibdeps lintian gzip sha256sum zip unzip; do
    command -v "$tool" >/dev/null || missing+=("$tool")
done
[ ${#missing[@]} -eq 0 ] || fail "missing ${missing[*]}; install them with: scripts/install-deps.sh package (as root)"

for preset in release win64 win32 web; do
    if [ "$build" -eq 1 ]; then
        say "building the $preset preset (minutes the first time, seconds when up to date)"
        logged "$preset build" bash -c "cmake --preset $preset && cmake --build --preset $preset -j $(nproc)"
    fi
done
# Every build must be there, configured from this version.
for preset in release win64 win32; do
    [ -f "build/$preset/CPackConfig.cmake" ] ||
        fail "build/$preset is not configured; run scripts/package.sh without --no-build"
    v=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "build/$preset/CMakeCache.txt")
    [ "$v" = "$version" ] ||
        fail "build/$preset was configured for version ${v:-unknown}, CMakeLists.txt says $version;" \
            "build again without --no-build"
done
[ -f build/web/site/index.html ] ||
    fail "build/web/site is not built (cmake --preset web && cmake --build --preset web)"
say "version $version, archive times from SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH"

# cpack installs the build into a staging folder of its own and packs that.
cpacked() {
    local preset=$1 generator=$2 file=$3
    say "packing $file"
    logged "$preset cpack" env -C "build/$preset" cpack -G "$generator" -B "$stage/cpack-$preset"
    [ -f "$stage/cpack-$preset/$file" ] || fail "cpack made no $file (see $logs/package-$preset-cpack.log)"
    packed=$stage/cpack-$preset/$file
}
# A folder's files zipped in name order, each with the release time, plain modes and no
# owner: the zip's bytes depend on the files' contents alone.
zip_folder() {
    local from=$1 to=$2
    if ! chmod -R u=rwX,go=rX "$from" || ! find "$from" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} + ||
        ! (cd "$from" && find . -type f -printf '%P\n' | sort | zip -q -X -D -@ "$to"); then
        fail "cannot zip $from into $to"
    fi
}
files=$stage/files

cpacked release DEB "$deb"
mv "$packed" "$stage/$deb" || fail "cannot move $deb into $stage"
for flavour in win64 win32; do
    zip=vexalmini-$version-$flavour.zip
    cpacked "$flavour" ZIP "$zip"
    mkdir "$files" || fail "cannot make $files"
    unzip -q "$packed" -d "$files" || fail "cannot unzip $packed"
    zip_folder "$files" "$stage/$zip"
    rm -rf -- "$files"
done
say "packing vexalmini-$version-web.zip"
cp -R build/web/site "$files" || fail "cannot copy build/web/site"
zip_folder "$files" "$stage/vexalmini-$version-web.zip"
rm -rf -- "$files" "$stage"/cpack-*

say "checking $deb with lintian (errors fail, warnings are shown)"
if ! lint=$(lintian --fail-on error "$stage/$deb" 2>&1); then
    grep -v 'running with root privileges' <<<"$lint" >&2
    fail "lintian found errors in $deb"
fi
grep -v 'running with root privileges' <<<"$lint" | sed 's/^/    /'

(cd "$stage" && sha256sum -- "${packages[@]}" >SHA256SUMS) || fail "cannot write SHA256SUMS"
# All of it is there: now it takes the old artefacts' places, SHA256SUMS last.
for name in "${packages[@]}" SHA256SUMS; do
    mv -f -- "$stage/$name" "$dist/$name" || fail "cannot move $name into $dist"
done
say "done: ${packages[*]} and SHA256SUMS in $dist"
