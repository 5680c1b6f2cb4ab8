# Sourced inside the window tests' Xvfb sessions.
# wait_for_window PID LABEL: sets wid to the game's window, or stops the game
# and fails when none appears within 10 s.
wait_for_window() {
  wid=""
  for i in $(seq 1 100); do
    wid=$(xdotool search --name "Swap & Sprint" 2>/dev/null | head -n1 || true)
    [ -n "$wid" ] && return 0
    sleep 0.1
  done
  echo "$2: no window appeared"
  kill "$1"
  return 1
}
