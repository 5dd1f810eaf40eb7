# How many live-record exchanges (one command out, two reports back) go
# through the kernel's HID stack per second: at the program's own pace, and
# with the link's waits scaled down to a twentieth as the tests run them.
. /lib.sh
plug
vorelle2_kernel_probe exchanges 5 1 > /tmp/paced.out || fail "exchanges failed: $(cat /tmp/paced.out)"
vorelle2_kernel_probe exchanges 5 0.05 > /tmp/scaled.out || fail "scaled exchanges failed: $(cat /tmp/scaled.out)"
figure exchanges_paced "$(sed -n 's/^per_second=//p' /tmp/paced.out)" "/s" \
  "median round trip $(sed -n 's/^median_ms=//p' /tmp/paced.out) ms, 10 ms of it the pause after each write"
figure exchanges_scaled "$(sed -n 's/^per_second=//p' /tmp/scaled.out)" "/s" \
  "median round trip $(sed -n 's/^median_ms=//p' /tmp/scaled.out) ms, time scale 0.05"
unplug
