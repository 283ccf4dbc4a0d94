#!/usr/bin/env bash
# tidemark-cli against its peers on one batch rename: N files f_00000.txt ... become
# g_00000.txt ... with
#   tidemark-cli rename DIR --replace f_ --with g_
#   Debian's perl rename   's/^f_/g_/' f_*
#   mmv                    'f_*' 'g_#1'
#   a floor: a small C loop of renameat2(..., RENAME_NOREPLACE) over the known names, with no
#   listing and no checks, the least any tool can do.
# Each one runs on a fresh folder of the same files, in the same run, the best of RUNS kept;
# the table gives each time as a ratio to the floor's. Missing peers are installed with
# apt-get. Times include starting the process, the same for all.
#
# usage: bench/peers.sh [COUNT ...]        (default: 1000 10000 32767)
# environment: TIDEMARK_CLI  the binary (default: build/cli/tidemark-cli, else the newest
#                            build*/cli/tidemark-cli of the work tree)
#              BENCH_DIR     where the folders are made (default: $TMPDIR or /tmp)
#              RUNS          runs per tool and count, best kept (default: 3)
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
counts=("$@")
[[ ${#counts[@]} -gt 0 ]] || counts=(1000 10000 32767)
runs="${RUNS:-3}"

cli="${TIDEMARK_CLI:-}"
if [[ -z "$cli" ]]; then
    if [[ -x "$root/build/cli/tidemark-cli" ]]; then
        cli="$root/build/cli/tidemark-cli"
    else
        cli="$(ls -t "$root"/build*/cli/tidemark-cli 2>/dev/null | head -n 1 || true)"
    fi
fi
if [[ -z "$cli" || ! -x "$cli" ]]; then
    echo "peers.sh: no tidemark-cli binary; build it (make build) or set TIDEMARK_CLI" >&2
    exit 2
fi

# The peers. Debian's perl rename installs as file-rename (and usually as rename, which on
# other systems may be util-linux's, a different program).
missing=()
command -v file-rename >/dev/null 2>&1 || missing+=(rename)
command -v mmv >/dev/null 2>&1 || missing+=(mmv)
command -v cc >/dev/null 2>&1 || missing+=(gcc)
if [[ ${#missing[@]} -gt 0 ]]; then
    echo "installing ${missing[*]} ..." >&2
    if [[ $(id -u) -eq 0 ]]; then sudo=(); else sudo=(sudo); fi
    "${sudo[@]}" apt-get update -qq >&2
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}" >&2
fi
perl_rename="$(command -v file-rename)"

work="$(mktemp -d "${BENCH_DIR:-${TMPDIR:-/tmp}}/tidemark-peers-XXXXXX")"
trap 'rm -rf "$work"' EXIT

cat >"$work/floor.c" <<'C'
#define _GNU_SOURCE
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

/* floor DIR N: renames f_%05ld.txt to g_%05ld.txt for 0 <= i < N, never replacing. */
int main(int argc, char** argv) {
    if (argc != 3) return 2;
    const int dir = open(argv[1], O_RDONLY | O_DIRECTORY);
    if (dir < 0) { perror(argv[1]); return 1; }
    const long n = atol(argv[2]);
    char from[64], to[64];
    for (long i = 0; i < n; ++i) {
        snprintf(from, sizeof from, "f_%05ld.txt", i);
        snprintf(to, sizeof to, "g_%05ld.txt", i);
        if (renameat2(dir, from, dir, to, RENAME_NOREPLACE) != 0) { perror(from); return 1; }
    }
    return close(dir);
}
C
cc -O2 -o "$work/floor" "$work/floor.c"

tools=(floor tidemark-cli perl-rename mmv)

# run_tool TOOL DIR N: the rename itself, in DIR.
run_tool() {
    local tool="$1" dir="$2" n="$3"
    case "$tool" in
        floor) "$work/floor" "$dir" "$n" ;;
        tidemark-cli) "$cli" rename "$dir" --replace f_ --with g_ ;;
        perl-rename) (cd "$dir" && "$perl_rename" 's/^f_/g_/' f_*) ;;
        mmv) (cd "$dir" && mmv 'f_*' 'g_#1') ;;
    esac
}

# time_tool TOOL N: "wall cpu" in microseconds for one run on a fresh folder (cpu: user plus
# system time of the tool's processes); fails when not every file was renamed.
time_tool() {
    local tool="$1" n="$2" dir="$work/run"
    rm -rf "$dir"
    mkdir "$dir"
    (cd "$dir" && seq -f 'f_%05.0f.txt' 0 $((n - 1)) | xargs touch)
    sync
    local times
    times=$({ TIMEFORMAT='%3R %3U %3S'; time run_tool "$tool" "$dir" "$n" >/dev/null 2>"$work/err"; } 2>&1) || true
    local renamed left
    renamed=$(find "$dir" -maxdepth 1 -name 'g_*' | wc -l)
    left=$(find "$dir" -maxdepth 1 -name 'f_*' | wc -l)
    if [[ $renamed -ne $n || $left -ne 0 ]]; then
        echo "peers.sh: $tool renamed $renamed of $n files: $(head -c 300 "$work/err")" >&2
        return 1
    fi
    awk -v t="$times" 'BEGIN { split(t, v, " "); printf "%d %d\n", v[1] * 1e6, (v[2] + v[3]) * 1e6 }'
}

declare -A wall cpu
for n in "${counts[@]}"; do
    for ((r = 0; r < runs; ++r)); do
        # Round robin, so that a slow moment of the machine does not fall on one tool alone.
        for tool in "${tools[@]}"; do
            key="$tool/$n"
            if read -r w c < <(time_tool "$tool" "$n"); then
                if [[ -z "${wall[$key]:-}" ]] || ((w < wall[$key])); then wall[$key]=$w; fi
                if [[ -z "${cpu[$key]:-}" ]] || ((c < cpu[$key])); then cpu[$key]=$c; fi
            fi
        done
    done
done

# table TITLE ARRAY: one row per count, each tool's best time as a ratio to the floor's.
table() {
    local -n times="$2"
    echo
    echo "$1"
    printf '%8s' "N"
    for tool in "${tools[@]}"; do printf '  %20s' "$tool"; done
    printf '\n'
    for n in "${counts[@]}"; do
        printf '%8d' "$n"
        local floor="${times[floor/$n]:-}"
        for tool in "${tools[@]}"; do
            local us="${times[$tool/$n]:-}"
            if [[ -z "$us" || -z "$floor" || "$floor" -eq 0 ]]; then
                printf '  %20s' "failed"
            else
                printf '  %20s' "$(awk -v t="$us" -v f="$floor" \
                    'BEGIN { printf "%.2f (%.1f ms)", t / f, t / 1000 }')"
            fi
        done
        printf '\n'
    done
}

echo "Renaming N files f_*.txt to g_*.txt; best of $runs runs; time / floor's time (milliseconds)"
table "Elapsed (wall-clock) time:" wall
table "Processor time (user + system), steadier on a busy machine:" cpu
