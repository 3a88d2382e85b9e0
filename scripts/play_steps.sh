# Steps a player takes, for the scripts that play the installed game on a 640 x 480
# virtual display (where the game's screen fills the display one to one, so the
# coordinates are the game's own). Sourced, not run.

# Waits up to 20 s for a command to succeed.
wait_for() {
  for _ in $(seq 100); do
    if "$@"; then return 0; fi
    sleep 0.2
  done
  return 1
}

click() { xdotool mousemove "$1" "$2" click 1; sleep 0.7; }

# A visible window of the game or of its set-up program.
window_shown() { xdotool search --onlyvisible --name "Project: VARK" >/dev/null 2>&1; }

# On the set-up program's first screen (smaller than the game's, so it is scaled up more).
press_save_and_play() { click 163 392; }

# From the main menu: "Старт", the first face, "Поехали!", the name, Enter.
create_profile() {
  click 556 180
  click 160 208
  click 340 407
  xdotool key --delay 100 BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace
  xdotool type --delay 150 "$1"
  xdotool key Return
}
