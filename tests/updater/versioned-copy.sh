#!/bin/sh
# versioned-copy.sh PROGRAM OUT NAME VERSION: a copy of PROGRAM whose version block reads NAME and
# VERSION, which must be as long as the ones it replaces so the section keeps its size.
set -eu
program=$1 out=$2 name=$3 version=$4
block=$(mktemp)
old=$(mktemp)
trap 'rm -f "$block" "$old"' EXIT
objcopy -O binary --only-section=.lumver "$program" "$old"
printf 'VS_VERSION_INFO\0\\StringFileInfo\\080403a8\\ProductName\0%s\0\\StringFileInfo\\080403a8\\ProductVersion\0%s\0\0' \
    "$name" "$version" > "$block"
if [ "$(wc -c < "$block")" -ne "$(wc -c < "$old")" ]; then
    echo "versioned-copy.sh: $name $version does not fit the version block of $program" >&2
    exit 1
fi
mkdir -p "$(dirname "$out")"
objcopy --update-section .lumver="$block" "$program" "$out.tmp"
chmod 755 "$out.tmp"
mv "$out.tmp" "$out"
