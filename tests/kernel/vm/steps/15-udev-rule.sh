# The udev rule that the program installs lets the user at the seat open the
# console's hidraw node, also when the console is vorelle2-sim-uhid.
. /lib.sh
plug
node=$(console_node)
udevadm test --action=add "/sys/class/hidraw/${node##*/}" > /tmp/udev.out 2>&1 ||
  fail "udevadm test failed: $(tail -n 3 /tmp/udev.out)"
grep -q '^TAGS=.*:uaccess:' /tmp/udev.out || fail "the rule did not tag $node uaccess: $(grep -E '^(TAGS|DEVNAME)=' /tmp/udev.out)"
say "  $node tagged uaccess"
unplug
