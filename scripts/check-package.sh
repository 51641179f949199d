#!/usr/bin/env bash
# Builds the Debian package (the package preset, then cpack -G DEB) and checks it as a
# distribution would:
#   - lintian on the .deb, pedantic and informational tags included;
#   - desktop-file-validate on the installed desktop entry;
#   - appstreamcli validate-tree on the installed files (metadata, desktop entry, icons);
#   - mandoc -T lint, groff -ww and man --warnings on the installed manual pages;
# then installs the .deb with apt-get into a fresh Debian 12 root made by debootstrap and runs
# there tracklens-dump --version, tracklens-dump on the installed TestRead.mid (its listing must
# be the build tree's), the bash completion, the desktop program offscreen for a few seconds,
# and the removal of the package. Every check is run even when one fails; the script fails if
# any did. Needs root (debootstrap, chroot) and the network to reach Debian's archive.
#
# The minimal Debian 12 system is bootstrapped once and kept as build/debian12/minbase.tar.gz;
# each run unpacks it anew, so every install is into a fresh root. Delete it to bootstrap again.
# Usage: scripts/check-package.sh
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "$(id -u)" -ne 0 ]; then
    echo "check-package: run as root: it bootstraps and enters a Debian root" >&2
    exit 1
fi
scripts/install-deps.sh packaging

build=build/package
cmake --preset package >/dev/null
cmake --build --preset package -j "$(nproc)" >/dev/null
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb="$build/tracklens_${version}_$(dpkg --print-architecture).deb"
rm -f "$build"/tracklens_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
echo "check-package: built $deb"

work="$(mktemp -d)"
root=build/debian12/root
cleanup() {
    for mounted in "$root/proc" "$root/dev/pts"; do
        if mountpoint -q "$mounted"; then
            umount "$mounted"
        fi
    done
    rm -rf "$work"
}
trap cleanup EXIT

passed=()
failed=()
# check NAME COMMAND...: runs one check and shows what it printed; it passes when the command
# exits with 0.
check() {
    local name="$1"
    shift
    echo
    echo "== $name"
    if "$@"; then
        passed+=("$name")
    else
        failed+=("$name")
        echo "-- FAILED: $name"
    fi
}

# silent COMMAND...: fails if COMMAND fails or prints anything (linters that warn with exit 0).
silent() {
    local output
    output=$("$@" 2>&1) || {
        printf '%s\n' "$output"
        return 1
    }
    [ -z "$output" ] || {
        printf '%s\n' "$output"
        return 1
    }
}

# The package's files, unpacked, for the linters.
tree="$work/tree"
dpkg-deb -x "$deb" "$tree"

# The package's one override (Help.txt, which the program opens from its data folder) is
# listed by lintian --show-overrides; it is left out here, where any tag shown fails.
check "lintian" lintian --pedantic --display-info --fail-on error,warning,info,pedantic "$deb"
check "desktop-file-validate" silent desktop-file-validate "$tree/usr/share/applications/tracklens.desktop"
appstreamValid() {
    local output
    output=$(appstreamcli validate-tree --no-net --pedantic --no-color "$tree" 2>&1) || true
    printf '%s\n' "$output"
    [ "$(printf '%s\n' "$output" | tail -n 1)" = "✔ Validation was successful." ]
}
check "appstreamcli validate-tree" appstreamValid
for page in "$tree"/usr/share/man/man1/*.1.gz; do
    name=$(basename "$page" .gz)
    check "mandoc -T lint $name" silent mandoc -T lint -W all "$page"
    check "groff -ww $name" silent sh -c 'zcat "$1" | groff -ww -man -z' sh "$page"
    check "man --warnings $name" silent sh -c \
        'LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$1" >/dev/null' sh "$page"
done

# A fresh Debian 12 root with the package installed by apt-get, as a user would.
minbase=build/debian12/minbase.tar.gz
if [ ! -f "$minbase" ]; then
    echo
    echo "check-package: bootstrapping a minimal Debian 12 into $minbase (once)"
    rm -rf build/debian12/bootstrap
    mkdir -p build/debian12
    debootstrap --variant=minbase bookworm build/debian12/bootstrap >build/debian12/bootstrap.log
    tar -C build/debian12/bootstrap -czf "$minbase.part" .
    mv "$minbase.part" "$minbase"
    rm -rf build/debian12/bootstrap
fi
rm -rf "$root"
mkdir -p "$root"
tar -C "$root" -xzf "$minbase"
cp /etc/resolv.conf "$root/etc/resolv.conf"
mount -t proc proc "$root/proc"
mount -t devpts devpts "$root/dev/pts"
cp "$deb" "$root/tmp/tracklens.deb"
cp "$build/cli/tracklens-dump" "$work/built-tracklens-dump"
"$work/built-tracklens-dump" data/TestRead.mid >"$work/expected-listing.tsv"

inRoot() {
    chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
        "$@"
}
installPackage() {
    inRoot sh -c 'apt-get update -qq && DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -qq --no-install-recommends /tmp/tracklens.deb >/tmp/install.log' ||
        { cat "$root/tmp/install.log"; return 1; }
}
check "apt-get install the .deb into a fresh Debian 12 root" installPackage

versionPrinted() {
    local printed
    printed=$(inRoot tracklens-dump --version)
    echo "$printed"
    [ "$printed" = "tracklens-dump $version" ]
}
check "tracklens-dump --version" versionPrinted

listingIsTheBuildTrees() {
    inRoot tracklens-dump /usr/share/tracklens/TestRead.mid >"$work/listing.tsv"
    echo "$(wc -l <"$work/listing.tsv") lines, exit status 0"
    cmp "$work/listing.tsv" "$work/expected-listing.tsv"
}
check "tracklens-dump /usr/share/tracklens/TestRead.mid" listingIsTheBuildTrees

manPagesFound() {
    ls -l "$root/usr/share/man/man1/tracklens.1.gz" "$root/usr/share/man/man1/tracklens-dump.1.gz"
}
check "manual pages installed" manPagesFound

completionLoads() {
    inRoot bash -c '. /usr/share/bash-completion/completions/tracklens-dump &&
        complete -p tracklens-dump'
}
check "bash completion defines tracklens-dump's" completionLoads

# The desktop program must still be running when timeout ends it (status 124): a missing
# library, platform plugin or data folder ends it at once with another status.
desktopRuns() {
    local status=0
    inRoot sh -c 'mkdir -p -m 700 /tmp/runtime && QT_QPA_PLATFORM=offscreen \
        XDG_RUNTIME_DIR=/tmp/runtime timeout 5 tracklens /usr/share/tracklens/TestRead.mid' ||
        status=$?
    echo "ended by timeout after 5 s: status $status"
    [ "$status" -eq 124 ]
}
check "tracklens offscreen for 5 seconds" desktopRuns

removedWhole() {
    inRoot sh -c 'DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq tracklens >/dev/null' &&
        ! inRoot dpkg -L tracklens >/dev/null 2>&1 &&
        [ ! -e "$root/usr/share/tracklens" ] && [ ! -e "$root/usr/bin/tracklens" ]
}
check "apt-get purge leaves nothing of the package" removedWhole

echo
echo "check-package: ${#passed[@]} passed, ${#failed[@]} failed"
for name in "${failed[@]}"; do
    echo "  failed: $name"
done
[ "${#failed[@]}" -eq 0 ]
