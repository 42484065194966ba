#!/usr/bin/env bash
# Installs the Debian packages Corvane needs to build, run and test.
# Sourced by scripts/run and scripts/test.
CORVANE_PACKAGES=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-webengine-dev qt6-webengine-dev-tools
    libqt6webenginecore6-bin qt6-webchannel-dev qt6-svg-dev libgl-dev qt6-wayland
    libgtest-dev libgmock-dev libbenchmark-dev libsodium-dev
    desktop-file-utils appstream xdg-utils
    xvfb xauth weston fonts-dejavu-core python3
    openssl poppler-utils
)

corvane_missing_packages() {
    local missing=()
    for p in "${CORVANE_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$p")
        fi
    done
    echo "${missing[@]}"
}

corvane_install_deps() {
    local missing
    missing=$(corvane_missing_packages)
    [ -z "$missing" ] && return 0
    if [ "$(id -u)" -eq 0 ]; then
        echo "Installing: $missing"
        export DEBIAN_FRONTEND=noninteractive
        apt-get update -qq || return 1
        # shellcheck disable=SC2086
        apt-get install -y -qq --no-install-recommends $missing || return 1
    else
        echo "Corvane needs these Debian packages. Install them with:"
        echo "  sudo apt-get install $missing"
        return 1
    fi
}

# corvane_build TOP [BUILD_DIR [CMAKE_OPTION...]]: configures BUILD_DIR
# (default TOP/build) the first time, with the options given, and builds it.
corvane_build() {
    local top=$1
    local dir=${2:-$top/build}
    shift $(( $# < 2 ? $# : 2 ))
    local gen=()
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        command -v ninja >/dev/null && gen=(-G Ninja)
        cmake -S "$top" -B "$dir" "${gen[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" || return 1
    fi
    cmake --build "$dir" --parallel "$(nproc)" || return 1
}
