#!/bin/sh
# Passes when FILE carries no debug sections and its symbols are found again through its
# debug link: FUNCTION's address, looked up in FILE.debug, resolves in FILE to SOURCE.
# Usage: check-debug-link.sh OBJDUMP NM ADDR2LINE FILE FUNCTION SOURCE
set -u
objdump=$1 nm=$2 addr2line=$3 file=$4 function=$5 source=$6
fail() { echo "$file: $*" >&2; exit 1; }

sections=$("$objdump" -h "$file") || fail "not readable"
case "$sections" in *.debug_*) fail "carries debug sections" ;; esac
case "$sections" in *.gnu_debuglink*) ;; *) fail "has no debug link" ;; esac
address=$("$nm" -C "$file.debug" |
    awk -v f="$function" '$2 == "T" && ($3 == f || index($3, f "(") == 1) { print $1; exit }')
[ -n "$address" ] || fail "$function is not in $file.debug"
# addr2line checks the link's checksum, so a symbol file from another build finds nothing.
found=$("$addr2line" -e "$file" "0x$address")
case "$found" in
*"$source":[0-9]*) ;;
*) fail "$function resolves to $found, not $source" ;;
esac
