#!/bin/bash
# The main job: builds the Windows program if needed and runs mxb.exe under
# Wine, on $DISPLAY when there is one, else on a private Xvfb display.
cd "$(dirname "$0")"
./cmake/install-deps.sh || exit 1
if [ ! -f build/win64/build.ninja ]; then cmake --preset win64 >/dev/null || exit 1; fi
cmake --build build/win64 -j"$(nproc)" --target mxb Z9EE >/dev/null || exit 1
export MXB_WINEPREFIX="$PWD/build/win64/wineprefix"
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then export MXB_DISPLAY="$DISPLAY"; fi
source cmake/wine-env.sh
mxb_wine_ready || exit 1
mkdir -p build/demo
cd build/demo
"$MXB_WINE" ../win64/app/mxb.exe "$@"
status=$?
echo "mxb.exe ended with exit code $status"
exit $status
