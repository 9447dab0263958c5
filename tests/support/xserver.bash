# A private X server for a test script, sourced by tests/*.sh.
#
# Xvfb chooses a free display itself (-displayfd), so scripts and window
# tests that start servers at the same moment never race for a number, and
# the script goes on when the server says it is ready, not after a fixed
# time. The server's output goes to a file of the test's folder: a server
# that outlives the script holds none of the test runner's pipes.

# startxserver FOLDER: starts the server, sets xdisplay (":N") and
# xserverpid; status 1 (the server's words in FOLDER/xserver.log) when no
# server came up within five minutes.
startxserver() {
  local fifo="$1/xdisplayfd" number=
  rm -f "$fifo"
  mkfifo "$fifo" || return 1
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fifo" </dev/null >"$1/xserver.log" 2>&1 &
  xserverpid=$!
  # The server writes its number when it takes connections; a server that
  # dies first closes the pipe, which ends the read at once.
  read -r -t 300 number <"$fifo"
  rm -f "$fifo"
  if [ -z "$number" ]; then
    stopxserver
    return 1
  fi
  xdisplay=":$number"
}

# Ends the server and waits until it is gone.
stopxserver() {
  [ -n "${xserverpid:-}" ] || return 0
  kill "$xserverpid" 2>/dev/null
  wait "$xserverpid" 2>/dev/null
  xserverpid=
}

# A display that no server holds: Xvfb takes the lowest free numbers.
NODISPLAY=:65000
