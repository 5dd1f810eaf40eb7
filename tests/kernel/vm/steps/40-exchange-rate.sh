# How many live-record exchanges (one command out, two reports back) go
# through the kernel's HID stack per second: at the program's own pace, and
# with the link's pauses scaled down to a quarter, which leaves the kernel's
# and the emulation's own time. The reply wait keeps its full length: on a
# loaded host the emulated machine may stall for a while, and an exchange
# that waits it out is slow, not lost.
. /lib.sh
plug
vorelle2_kernel_probe exchanges 5 1 > /tmp/paced.out || fail "exchanges failed: $(tr "\n" " " < /tmp/paced.out)"
vorelle2_kernel_probe exchanges 5 0.25 > /tmp/scaled.out || fail "scaled exchanges failed: $(tr "\n" " " < /tmp/scaled.out)"
# rate NAME FILE WHAT: the figure of one run of the probe.
rate() {
  figure "$1" "$(sed -n 's/^per_second=//p' "$2")" "/s" \
    "median round trip $(sed -n 's/^median_ms=//p' "$2") ms, slowest $(sed -n 's/^slowest_ms=//p' "$2") ms, $3"
}
rate exchanges_paced /tmp/paced.out "each with the 10 ms pause after its write"
rate exchanges_scaled /tmp/scaled.out "time scale 0.25"
unplug
