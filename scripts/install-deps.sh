#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the benchmarks need, only if some are
# missing. Safe to run again.
# Usage: scripts/install-deps.sh [packaging]   (packaging: also what scripts/check-package.sh
#                                                needs: lintian and debootstrap)
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config git
    qt6-base-dev libgl-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    libcli11-dev nlohmann-json3-dev libuchardet-dev
    clang libclang-rt-14-dev clang-format
    xvfb xauth fonts-dejavu-core
    midicsv time
    groff-base mandoc desktop-file-utils appstream bash-completion
)
if [ "${1:-}" = packaging ]; then
    packages+=(lintian debootstrap)
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: missing packages (${missing[*]}); run as root to install them" >&2
    exit 1
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
