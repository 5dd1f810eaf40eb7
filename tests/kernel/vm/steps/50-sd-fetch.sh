# vorelle2-cli lists the SD card and fetches a recording over hidapi and
# hidraw, and the local copy equals, byte for byte, the one fetched from the
# same simulated console in-process. Both consoles are set up by the same
# options, their clocks standing still at the same time, so that both cards
# hold the same files. Yesterday's recording is a whole day of readings.
. /lib.sh
station="--channels 3 --clock 2024-07-01T14:30"
name=20240630.csv
plug $station
started=$(now_ms)
VORELLE2_DATA_DIR=/tmp/usb-data vorelle2-cli recordings list > /tmp/list.out 2> /tmp/list.err ||
  fail "the listing over USB failed: $(cat /tmp/list.err)"
listed=$(( $(now_ms) - started ))
size=$(awk -v name="$name" '$1 == name { print $2 }' /tmp/list.out)
[ -n "$size" ] || fail "the card over USB has no $name: $(tr "\n" " " < /tmp/list.out)"
started=$(now_ms)
VORELLE2_DATA_DIR=/tmp/usb-data vorelle2-cli recordings fetch "$name" > /tmp/fetch.out 2> /tmp/fetch.err ||
  fail "the fetch over USB failed: $(cat /tmp/fetch.err)"
took=$(( $(now_ms) - started ))
VORELLE2_DATA_DIR=/tmp/in-process vorelle2-cli recordings fetch "$name" --simulate $station > /tmp/in-process.out ||
  fail "the fetch in-process failed"
grep -q "^$name: fetched $size bytes, 0 bytes already held\$" /tmp/fetch.out ||
  fail "the fetch did not bring the $size bytes listed: $(cat /tmp/fetch.out)"
grep -q "^$name: imported into .*: [0-9]* lines read, [1-9][0-9]* rows stored, 0 lines refused, 0 lines held back\$" /tmp/fetch.out ||
  fail "no import summary: $(cat /tmp/fetch.out)"
usb_copy=$(find /tmp/usb-data -name "$name" -type f)
in_process_copy=$(find /tmp/in-process -name "$name" -type f)
[ -n "$usb_copy" ] && [ -n "$in_process_copy" ] || fail "a local copy is missing: [$usb_copy] [$in_process_copy]"
cmp "$in_process_copy" "$usb_copy" > /tmp/cmp.out 2>&1 ||
  fail "the copy over hidraw differs from the in-process one: $(cat /tmp/cmp.out)"
sed 's/imported into [^:]*:/imported:/' /tmp/fetch.out > /tmp/fetch.cmp
sed 's/imported into [^:]*:/imported:/' /tmp/in-process.out > /tmp/in-process.cmp
cmp -s /tmp/in-process.cmp /tmp/fetch.cmp ||
  fail "the summaries differ: $(diff /tmp/in-process.cmp /tmp/fetch.cmp | head -n 6)"
say "  $(sed -n 2p /tmp/fetch.out)"
# The fetch lists the card too; less the listing command's time (the
# program's start and the listing), what is left is the transfer and the
# import.
figure sd_list "$listed" ms "the listing command, the program's start included"
figure sd_fetch "$took" ms "the fetch command, $size bytes"
figure sd_fetch_rate "$(awk -v b="$size" -v ms="$((took - listed))" 'BEGIN { printf "%d", b * 1000 / ms }')" "bytes/s" \
  "$size bytes over the fetch's time less the listing's, the import included"
unplug
