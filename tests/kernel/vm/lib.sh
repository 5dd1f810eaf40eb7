# Helpers of the kernel HID test's steps (busybox sh). A step is one file in
# steps/, run by its own shell, which sources this file: it passes when it
# ends with status 0, and `fail` ends it with the reason. Each step starts
# with no console plugged in; whatever it leaves plugged in is unplugged after
# it.

say() { echo "kernel-hid-test: $*"; }

# figure NAME VALUE UNIT [WHAT]: a measurement for the host to print.
figure() { say "figure $1 $2 $3${4:+ ($4)}"; }

fail() {
  echo "$*" > /tmp/failure
  exit 1
}

now_ms() { awk '{ printf "%d", $1 * 1000 }' /proc/uptime; }

# wait_for SECONDS COMMAND...: true once COMMAND succeeds, false when it has
# not within SECONDS.
wait_for() {
  tries=$(( $1 * 20 ))
  shift
  while [ "$tries" -gt 0 ]; do
    "$@" && return 0
    usleep 50000
    tries=$((tries - 1))
  done
  return 1
}

# The simulated console's hidraw node, once the kernel has made it.
console_node() {
  for node in /sys/bus/hid/devices/0003:0483:5750.*/hidraw/hidraw*; do
    [ -c "/dev/${node##*/}" ] && echo "/dev/${node##*/}" && return 0
  done
  return 1
}

no_console_node() { ! console_node > /dev/null; }

# plug [OPTIONS]: starts vorelle2-sim-uhid with OPTIONS (its standard output
# in /tmp/sim.out) and waits until the kernel shows the console. SIM_PID is
# its process.
plug() {
  vorelle2-sim-uhid "$@" > /tmp/sim.out 2> /tmp/sim.err &
  SIM_PID=$!
  echo "$SIM_PID" > /tmp/sim.pid
  wait_for 20 console_node > /dev/null || fail "no hidraw node for 0483:5750: $(cat /tmp/sim.err)"
}

# Reaps the simulator once it has been stopped, and waits until its node is
# gone.
reap() {
  wait "$SIM_PID" 2> /dev/null
  rm -f /tmp/sim.pid
  wait_for 20 no_console_node || fail "the console's hidraw node stayed after the unplug"
}

# Stops vorelle2-sim-uhid: the console's cable is pulled.
unplug() {
  kill -TERM "$SIM_PID" 2> /dev/null
  reap
}

# run_step FILE: runs one step and reports it.
run_step() {
  step=$(basename "$1" .sh)
  rm -f /tmp/failure
  started=$(now_ms)
  if sh "$1"; then
    say "PASS $step ($(( $(now_ms) - started )) ms)"
  else
    say "FAIL $step: $(cat /tmp/failure 2> /dev/null || echo "ended with an error")"
  fi
  if [ -f /tmp/sim.pid ]; then
    kill -TERM "$(cat /tmp/sim.pid)" 2> /dev/null
    rm -f /tmp/sim.pid
    wait_for 20 no_console_node
  fi
}
