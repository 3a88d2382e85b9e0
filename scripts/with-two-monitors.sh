#!/usr/bin/env bash
# Runs a command inside an X server of its own with two monitors side by side, as a desktop
# with two screens has them: Xorg's dummy driver, whose first two RandR outputs are set to
# 1280 x 1024 at 0,0 (DUMMY0, left) and 1024 x 768 at 1280,0 (DUMMY1, right). Xorg chooses
# a free display itself (-displayfd), so several runs side by side never meet; its
# configuration and log stay in a temporary folder of this run.
# Usage: with-two-monitors.sh COMMAND [ARGS...]
set -uo pipefail
dir=$(mktemp -d)
cat >"$dir/xorg.conf" <<'EOF'
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "DontVTSwitch" "true"
EndSection
Section "Device"
  Identifier "card"
  Driver "dummy"
  VideoRam 64000
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
EndSection
Section "Screen"
  Identifier "screen"
  Device "card"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 2304 1024
  EndSubSection
EndSection
EOF
mkfifo "$dir/display"
# Xorg run by a user takes only a configuration file named relative to where it starts.
(cd "$dir" && exec Xorg -displayfd 3 -config xorg.conf -noreset -nolisten tcp -logfile "$dir/xorg.log" \
  3>"$dir/display" >/dev/null 2>&1) &
xorg=$!
trap 'kill "$xorg" 2>/dev/null; wait "$xorg" 2>/dev/null; rm -rf "$dir"' EXIT
read -r display <"$dir/display"
if [ -z "$display" ]; then
  echo "with-two-monitors: Xorg did not start" >&2
  cat "$dir/xorg.log" >&2
  exit 1
fi
export DISPLAY=":$display"
if ! xrandr --addmode DUMMY1 1024x768 ||
  ! xrandr --output DUMMY0 --mode 1280x1024 --pos 0x0 --output DUMMY1 --mode 1024x768 --pos 1280x0; then
  echo "with-two-monitors: the dummy driver gave no second monitor" >&2
  exit 1
fi
# A full query makes the server probe its outputs again: only then do programs that read
# the current state without probing (SDL does) see the second output connected.
xrandr --query >/dev/null
"$@"
