#!/bin/sh
# The preview's plot on a Wine prefix like a user's own, with only the system's fonts
# (made once per build folder): the command ends with exit code 0 and a PNG.
set -u
build=$1
source=$2
export VIREO_BUILD="$build" WINEPREFIX="$build/wineprefix-bare" VIREO_PREFIX_FONTS=no
"$source/tools/wine-prefix" >/dev/null || exit 1
out="$build/bare-prefix-plot.png"
rm -f "$out"
"$source/tools/wine-run" "$build/bin/VireoHost.exe" preview "$source/host/samples/preview-settings.txt" \
    --synth "1=sine(4,2);4=sine(150,0.75)" --plot "Z:$(printf '%s' "$out" | tr / '\\')" >/dev/null
code=$?
wineserver -k >/dev/null 2>&1
[ "$code" -eq 0 ] || { echo "VireoHost exited with $code"; exit 1; }
[ "$(head -c 4 "$out" 2>/dev/null | tail -c 3)" = PNG ] || { echo "no PNG at $out"; exit 1; }
rm -f "$out"
