#!/usr/bin/env bash
# check_tree.sh ROOT LIST: every path of LIST (relative, one a line) is a non-empty file under
# ROOT, and those under bin/ are executable.
set -euo pipefail
root=$1
missing=0
while IFS= read -r path; do
    [[ -z $path ]] && continue
    if [[ ! -s $root/$path ]]; then
        echo "missing: $path" >&2
        missing=1
    elif [[ $path == */bin/* || $path == bin/* ]] && [[ ! -x $root/$path ]]; then
        echo "not executable: $path" >&2
        missing=1
    fi
done <"$2"
exit "$missing"
