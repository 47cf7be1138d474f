# Shared by run.sh and test.sh: install what is missing from Debian, configure and build.
# Usage: source scripts/prepare.sh; prepare_build <build-dir> [cmake options...]
# BUILD_TARGET names one target to build instead of all.

LUMETRA_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-qpa-plugins libgl-dev
                  googletest libgtest-dev libgmock-dev libbenchmark-dev fonts-wqy-zenhei locales poppler-utils)

install_missing_packages() {
    local missing=()
    for package in "${LUMETRA_PACKAGES[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing Debian packages; as root run: apt-get install -y ${missing[*]}" >&2
        return 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

prepare_build() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$dir" --parallel "$(nproc)" ${BUILD_TARGET:+--target "$BUILD_TARGET"}
}
