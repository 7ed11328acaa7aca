#!/usr/bin/env bash
# Makes the two packages authors download, with CPack, from the Linux and Windows builds
# (both built already), and puts them alone in DIST:
#   quizz_VERSION_ARCH.deb       from the Linux build's install() rules
#   quizz-VERSION-windows.zip    from the Windows build's
#
#   cmake/make_dist.sh HOST_BUILD WIN_BUILD DIST
#
# ./quizz dist runs it, and so does the test run before it checks the packages.
set -euo pipefail

host=$1 win=$2 dist=$3

# package BUILD EXTENSION: runs CPack in BUILD and copies what it made into DIST.
package() {
    local build=$1 extension=$2 out=$1/cpack
    rm -rf "$out"
    if ! cpack --config "$build/CPackConfig.cmake" -B "$out" >"$build/cpack.log" 2>&1; then
        cat "$build/cpack.log" >&2
        echo "make_dist: CPack failed in $build (above)" >&2
        return 1
    fi
    cp "$out"/*."$extension" "$dist"/
}

mkdir -p "$dist"
rm -f "$dist"/quizz[_-]*
package "$host" deb
package "$win" zip
