#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those that are missing.
# With --fuzz, also clang and its libFuzzer runtime (for `make fuzz` only).
set -euo pipefail

FUZZ=0
if [ "${1:-}" = "--fuzz" ]; then
    FUZZ=1
fi

PACKAGES=(
    build-essential
    cmake
    ninja-build
    pkg-config
    qt6-base-dev
    libgl-dev
    libutf8proc-dev
    libgtest-dev
    libgmock-dev
    libbenchmark-dev
    libqt6svg6
    help2man
    desktop-file-utils
    appstream
    dpkg-dev
)

if [ "$FUZZ" -eq 1 ]; then
    PACKAGES+=(clang)
fi

missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
updated=0
install() {
    echo "Installing missing packages: $*"
    if [ "$updated" -eq 0 ]; then
        $SUDO apt-get update -qq
        updated=1
    fi
    $SUDO apt-get install -y -qq --no-install-recommends "$@"
}

if [ ${#missing[@]} -gt 0 ]; then
    install "${missing[@]}"
fi

# clang only recommends the runtime libraries of -fsanitize=fuzzer, which are packaged per
# clang version.
fuzzer_links() {
    echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' |
        clang++ -x c++ -fsanitize=fuzzer,address,undefined -o /dev/null - >/dev/null 2>&1
}
if [ "$FUZZ" -eq 1 ] && ! fuzzer_links; then
    version=$(clang++ -dumpversion | cut -d. -f1)
    install "libclang-rt-${version}-dev"
    fuzzer_links || { echo "clang cannot link libFuzzer targets" >&2; exit 1; }
fi
