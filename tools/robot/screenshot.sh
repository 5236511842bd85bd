#!/bin/bash
# Saves a PNG screenshot of the X display the Windows programs run on.
#   screenshot.sh FILE.png [DISPLAY]
set -e
out=${1:?usage: screenshot.sh FILE.png [DISPLAY]}
display=${2:-${DISPLAY:-:77}}
/usr/bin/import -display "$display" -window root "$out"
