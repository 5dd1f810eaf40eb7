# The basic settings, saved as the dialog saves them (screen check, then the
# write), reach the console byte for byte, and the console takes them.
. /lib.sh
plug --trace
vorelle2_kernel_probe write-settings 1 0 3 1 2 30 > /tmp/probe.out || fail "the save failed: $(cat /tmp/probe.out)"
sent=$(sed -n 's/^sent=//p' /tmp/probe.out)
received=$(sed -n 's/^> \(03 .*\)/\1/p' /tmp/sim.out)
[ -n "$sent" ] && [ "$received" = "$sent" ] || fail "sent [$sent], the console received [$received]"
grep '^>' /tmp/sim.out | tail -n 2 | head -n 1 | grep -q '^> 20 ' ||
  fail "the write did not follow a screen check: $(grep '^>' /tmp/sim.out | cut -c 1-20)"
vorelle2-cli live --json > /tmp/usb.json || fail "no reading after the save"
grep -q '"units": {"temperature": 1, "pressure": 0, "wind": 3, "rain": 1, "light": 2}' /tmp/usb.json ||
  fail "the console does not report the new units: $(grep '"units"' /tmp/usb.json)"
say "  received $(echo "$received" | cut -c 1-38)..., as sent"
unplug
