#!/usr/bin/env bash
# check-package.sh BUILD_DIR APP_ID: builds the Debian package from a configured and built tree
# into a folder of its own and checks that it holds the program, the desktop entry, the icons and
# the metainfo, and that its control fields are filled, dependencies from shlibdeps included.
# Run by CTest as packaging.deb.
set -euo pipefail
build=$1
id=$2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if ! cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log" >&2
    exit 1
fi
debs=("$work"/*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    echo "check-package: cpack made no single .deb" >&2
    cat "$work/cpack.log" >&2
    exit 1
fi
deb=${debs[0]}
echo "package: $(basename "$deb")"

failed=0
fail() {
    echo "check-package: $*" >&2
    failed=1
}

dpkg-deb -c "$deb" | tee "$work/contents"
expected=(
    ./usr/bin/lanshan-filter
    "./usr/share/applications/$id.desktop"
    "./usr/share/metainfo/$id.metainfo.xml"
)
sizes=(16 32 48 128 256)
for s in "${sizes[@]}"; do
    expected+=("./usr/share/icons/hicolor/${s}x${s}/apps/$id.png")
done
for path in "${expected[@]}"; do
    # dpkg-deb -c: permissions, owner, size, date, time, path.
    awk -v p="$path" '$6 == p { found = 1 } END { exit !found }' "$work/contents" || fail "missing $path"
done

# The icons are what their folders say.
dpkg-deb -x "$deb" "$work/root"
for s in "${sizes[@]}"; do
    icon="$work/root/usr/share/icons/hicolor/${s}x${s}/apps/$id.png"
    if [ -f "$icon" ] && ! file -b "$icon" | grep -q "^PNG image data, $s x $s,"; then
        fail "$icon is not a $s x $s PNG"
    fi
done
[ -x "$work/root/usr/bin/lanshan-filter" ] || fail "the program is not executable"
# The installed tree as a whole: the metainfo, the desktop entry it launches and its icon.
appstreamcli validate-tree --no-net "$work/root" || fail "appstreamcli validate-tree failed"

dpkg-deb -f "$deb" Package Version Architecture Maintainer Depends Section Homepage Description
for field in Package Version Architecture Maintainer Description; do
    [ -n "$(dpkg-deb -f "$deb" "$field")" ] || fail "empty control field $field"
done
# shlibdeps found the libraries the program links: the C library and Qt Widgets at least.
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 libqt6widgets6; do
    grep -q "\\b$lib\\b" <<<"$depends" || fail "Depends lacks $lib: $depends"
done

if [ "$failed" -eq 0 ]; then
    echo "check-package: the package holds the program, the desktop entry, ${#sizes[@]} icons and the metainfo"
fi
exit "$failed"
