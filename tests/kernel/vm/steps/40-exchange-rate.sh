# How many live-record exchanges (one command out, two reports back) go
# through the kernel's HID stack per second: at the program's own pace, and
# with the link's waits and pauses scaled down to a quarter, which leaves
# the kernel's and the emulation's own time (a reply wait of 500 ms still
# covers the slowest of them).
. /lib.sh
plug
vorelle2_kernel_probe exchanges 5 1 > /tmp/paced.out || fail "exchanges failed: $(tr "\n" " " < /tmp/paced.out)"
vorelle2_kernel_probe exchanges 5 0.25 > /tmp/scaled.out || fail "scaled exchanges failed: $(tr "\n" " " < /tmp/scaled.out)"
figure exchanges_paced "$(sed -n 's/^per_second=//p' /tmp/paced.out)" "/s" \
  "median round trip $(sed -n 's/^median_ms=//p' /tmp/paced.out) ms, 10 ms of it the pause after each write"
figure exchanges_scaled "$(sed -n 's/^per_second=//p' /tmp/scaled.out)" "/s" \
  "median round trip $(sed -n 's/^median_ms=//p' /tmp/scaled.out) ms, time scale 0.25"
unplug
