#!/usr/bin/env bash
# check-package.sh BUILD: unpacks the Debian package that `make package` left in BUILD/package
# into a throwaway root and checks that it holds every installed file under /usr and that its
# dependencies name Qt 6 and utf8proc.
set -euo pipefail
build=$1
shopt -s nullglob
packages=("$build"/package/tidemark_*.deb)
if [[ ${#packages[@]} -ne 1 ]]; then
    echo "expected one package in $build/package, found ${#packages[@]}" >&2
    exit 1
fi
deb=${packages[0]}
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
bash "$(dirname "$0")/../tests/install/check_tree.sh" "$root/usr" "$build/data/installed-files.txt"

depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libutf8proc; do
    if [[ $depends != *"$library"* ]]; then
        echo "Depends lacks $library: $depends" >&2
        exit 1
    fi
done
echo "$deb: $(dpkg-deb -f "$deb" Package Version Section | tr '\n' ' ')"
echo "Depends: $depends"
