# vorelle2-cli reads the live record over hidapi and hidraw, and every text
# equals the one the same simulated console gives in-process. Both consoles
# are set up by the same options, their clocks standing still at the same
# time, so that both readings are the same reading.
. /lib.sh
station="--units 1,0,3,1,2 --channels 3 --clock 2024-07-01T14:30"
plug $station
vorelle2-cli live --json > /tmp/usb.json 2> /tmp/usb.err || fail "live over USB failed: $(cat /tmp/usb.err)"
vorelle2-cli live --simulate $station --json > /tmp/in-process.json || fail "live in-process failed"
grep -q '"console": "usb"' /tmp/usb.json || fail "the reading did not come over USB"
sed '/"console":/d' /tmp/usb.json > /tmp/usb.cmp
sed '/"console":/d' /tmp/in-process.json > /tmp/in-process.cmp
cmp -s /tmp/in-process.cmp /tmp/usb.cmp ||
  fail "the record over hidraw differs from the in-process one: $(diff /tmp/in-process.cmp /tmp/usb.cmp | head -n 8)"
quantities=$(grep -c '"text":' /tmp/usb.cmp)
[ "$quantities" -ge 30 ] || fail "only $quantities quantities in the reading"
say "  $quantities quantities equal, e.g.$(grep '"OutdoorTemp"' /tmp/usb.json)"
unplug
