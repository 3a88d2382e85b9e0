#!/usr/bin/env bash
# Runs a command inside an X server of its own. Xvfb chooses a free display itself
# (-displayfd), so several runs side by side never meet on one display. -noreset keeps the
# server as it is when its last client leaves (a keyboard layout set, a window manager's
# name on the root window), as a desktop's server does.
# Usage: with-xvfb.sh WIDTHxHEIGHT COMMAND [ARGS...]
set -uo pipefail
size=$1
shift
fifo_dir=$(mktemp -d)
fifo=$fifo_dir/display
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$fifo" 2>/dev/null &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; rm -rf "$fifo_dir"' EXIT
read -r display < "$fifo"
if [ -z "$display" ]; then
  echo "with-xvfb: Xvfb did not start" >&2
  exit 1
fi
DISPLAY=":$display" "$@"
