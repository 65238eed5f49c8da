#!/usr/bin/env bash
# A memory card with the device's own file system (FAT32) in an image file, mounted through FUSE
# so that tests need neither root nor the kernel's vfat driver.
#   fat-card.sh check                  exit 0 when this machine can mount one, else say why (1)
#   fat-card.sh create IMAGE [SIZE_MB]  make an empty FAT32 card image (default 64 MB)
#   fat-card.sh mount IMAGE DIR         mount the image read-write at DIR
#   fat-card.sh umount DIR              unmount it, writing everything back into the image
# dosfstools, fusefat and fuse come from scripts/setup.sh.
set -eu

usage() {
    sed -n '4,7p' "$0" | sed 's/^# *//' >&2
    exit 2
}

missing_tools() {
    local tool
    for tool in mkfs.fat fusefat fusermount mountpoint; do
        if ! command -v "$tool" >/dev/null 2>&1 && ! [ -x "/usr/sbin/$tool" ] && ! [ -x "/sbin/$tool" ]; then
            echo "$tool"
        fi
    done
}

mkfs_fat() {
    if command -v mkfs.fat >/dev/null 2>&1; then mkfs.fat "$@"; else /usr/sbin/mkfs.fat "$@"; fi
}

command=${1:-}
[ $# -gt 0 ] && shift
case "$command" in
    check)
        missing=$(missing_tools)
        if [ -n "$missing" ]; then
            echo "missing:" $missing "(scripts/setup.sh installs dosfstools, fusefat and fuse)"
            exit 1
        fi
        if ! [ -c /dev/fuse ] || ! [ -r /dev/fuse ] || ! [ -w /dev/fuse ]; then
            echo "no usable /dev/fuse"
            exit 1
        fi
        echo ok
        ;;
    create)
        [ $# -ge 1 ] || usage
        image=$1 size=${2:-64}
        rm -f "$image"
        truncate -s "${size}M" "$image"
        # One sector per cluster: enough clusters for FAT32 even on a small test card.
        mkfs_fat -F 32 -s 1 "$image" >/dev/null
        ;;
    mount)
        [ $# -ge 2 ] || usage
        image=$1 dir=$2
        mkdir -p "$dir"
        fusefat -o rw+ "$image" "$dir" >/dev/null
        # fusefat returns once it has gone to the background; wait until the card is there.
        for _ in $(seq 50); do
            mountpoint -q "$dir" && exit 0
            sleep 0.1
        done
        echo "$image did not mount at $dir" >&2
        exit 1
        ;;
    umount)
        [ $# -ge 1 ] || usage
        fusermount -u "$1"
        ;;
    *)
        usage
        ;;
esac
