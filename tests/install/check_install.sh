#!/usr/bin/env bash
# check_install.sh BUILD VERSION LIST: installs BUILD into a throwaway prefix and checks that
# the installed programs work from there, with nothing of the build tree.
set -euo pipefail
build=$1 version=$2 list=$3
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
fail() {
    echo "FAILED: $*" >&2
    exit 1
}

cmake --install "$build" --prefix "$prefix" >/dev/null
bash "$here/check_tree.sh" "$prefix" "$list" || fail "files missing from the install"

for program in "$prefix"/bin/*; do
    if readelf -d "$program" | grep -E 'R(UN)?PATH' | grep -qF "$build"; then
        fail "$program looks for libraries in the build tree"
    fi
done

cli=$prefix/bin/tidemark-cli
[[ $("$cli" --version) == "tidemark-cli $version" ]] || fail "tidemark-cli --version: $("$cli" --version)"

mkdir -p "$work/folder/sub"
touch "$work/folder/b.txt" "$work/folder/a.txt"
listing=$(cd "$work" && TMK_INI="$work/tmk.ini" "$cli" list folder | cut -f1 | tr '\n' ' ')
[[ $listing == "sub a.txt b.txt " ]] || fail "tidemark-cli list: '$listing'"
# Nothing on standard error: the installed program finds its type names.
errors=$(cd "$work" && TMK_INI="$work/tmk.ini" "$cli" list folder 2>&1 >/dev/null)
[[ -z $errors ]] || fail "tidemark-cli list: $errors"

# The completion reads the installed program's --help; the last word is completed.
complete_words() {
    PATH="$prefix/bin:$PATH" bash -c '
        source "$1"; shift
        COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
        _tidemark_cli; printf "%s " "${COMPREPLY[@]}"' _ \
        "$prefix/share/bash-completion/completions/tidemark-cli" "$@"
}
[[ $(complete_words tidemark-cli m) == "move-on-length merge " ]] || fail "completion of commands: '$(complete_words tidemark-cli m)'"
[[ $(complete_words tidemark-cli list folder --s) == "--sort " ]] || fail "completion of options"
[[ $(complete_words tidemark-cli rename folder --case u) == "upper " ]] || fail "completion of values"
[[ $(complete_words tidemark-cli preview folder --page number --ba) == "--base " ]] || fail "completion of numbering options"

if [[ -x $prefix/bin/tidemark ]]; then
    [[ $("$prefix/bin/tidemark" --version) == *" $version" ]] || fail "tidemark --version"
    # The desktop file's Exec line on a folder: the program must still be running after a
    # while (timeout's status 124), not have stopped on the way up.
    exec_line=$(sed -n 's/^Exec=//p' "$prefix"/share/applications/*.desktop | head -n 1)
    set +e
    (cd "$work" && PATH="$prefix/bin:$PATH" TMK_INI="$work/tmk.ini" QT_QPA_PLATFORM=offscreen \
        timeout 2 ${exec_line/\%f/"$work/folder"} >/dev/null 2>&1)
    status=$?
    set -e
    [[ $status -eq 124 ]] || fail "the desktop file's Exec line stopped with status $status"
fi
echo "installed and checked in $prefix"
