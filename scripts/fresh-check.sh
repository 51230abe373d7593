#!/usr/bin/env bash
# Proves that the test command needs nothing of this machine: makes a clean Debian 12 root with
# mmdebstrap, puts a clone of this repository's HEAD and ../shared into it, and runs `bash .ci/run`
# there as CI does (as root, CI=true, no display, no standard input). Not part of CI; run it
# whenever scripts/packages.txt or a script's tools change. Needs root.
#
#   bash scripts/fresh-check.sh [work-folder]     (default: a new folder under /var/tmp)
#
# Prints the time the run took; exits with .ci/run's status. The root is removed afterwards unless
# KEEP=1.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

[ "$(id -u)" -eq 0 ] || { echo "fresh-check: run as root (it makes and enters a chroot)" >&2; exit 1; }
install_packages mmdebstrap
work=${1:-$(mktemp -d /var/tmp/tessmar-fresh.XXXXXX)}
mkdir -p "$work"
root=$work/root
say() { printf 'fresh-check: %s\n' "$*" >&2; }

mounted=()
cleanup() {
    local i
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[i]}" 2>/dev/null || true; done
    [ "${KEEP:-0}" = 1 ] || rm -rf "$work"
}
trap cleanup EXIT
mount_in() { # mount_in TYPE|--bind SOURCE TARGET
    mkdir -p "$root$3"
    if [ "$1" = --bind ]; then mount --bind "$2" "$root$3"; else mount -t "$1" "$2" "$root$3"; fi
    mounted+=("$root$3")
}

say "making a clean Debian 12 root in $root"
started=$SECONDS
mmdebstrap --quiet --variant=minbase bookworm "$root" \
    "deb http://deb.debian.org/debian bookworm main" \
    "deb http://deb.debian.org/debian bookworm-updates main" \
    "deb http://deb.debian.org/debian-security bookworm-security main"
say "root made in $((SECONDS - started)) s"

mkdir -p "$root/work"
git -C "$ROOT" rev-parse HEAD >"$work/commit"
git clone -q "$ROOT" "$root/work/main"
cp -r "$ROOT/../shared" "$root/work/shared"
cp /etc/resolv.conf "$root/etc/resolv.conf"

mount_in proc proc /proc
mount_in sysfs sys /sys
mount_in --bind /dev /dev
mount_in devpts devpts /dev/pts
mount_in tmpfs tmpfs /dev/shm

say "running .ci/run on $(cut -c1-12 "$work/commit") as CI does"
started=$SECONDS
status=0
chroot "$root" /usr/bin/env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    HOME=/root CI=true LANG=C.UTF-8 /bin/bash -c 'cd /work/main && bash .ci/run' \
    </dev/null >"$work.log" 2>&1 || status=$?
took=$((SECONDS - started))
tail -n 40 "$work.log"
say "bash .ci/run exited $status after $((took / 60)) min $((took % 60)) s (whole log: $work.log)"
exit $status
