# vorelle2-cli writes a firmware through hidapi and hidraw into the console's
# bootloader, which comes back as a new device when it starts, and reads it
# back; the console's flash then holds the image byte for byte after the
# bootloader's own 12288 bytes, which are never written.
. /lib.sh
bootloader_bytes=12288
image_bytes=20480
# An Intel HEX file of 16-byte records from address 0, lines ending CR LF,
# whose bytes vary with their address.
awk -v total="$image_bytes" 'BEGIN {
  for (address = 0; address < total; address += 16) {
    line = sprintf(":10%04X00", address)
    sum = 16 + int(address / 256) + address % 256
    for (i = 0; i < 16; i++) {
      byte = ((address + i) * 7 + int((address + i) / 256) * 13 + 1) % 256
      line = line sprintf("%02X", byte)
      sum += byte
    }
    printf "%s%02X\r\n", line, (256 - sum % 256) % 256
  }
  printf ":00000001FF\r\n"
}' > /tmp/firmware.hex
vorelle2-cli hex2bin /tmp/firmware.hex /tmp/firmware.bin || fail "the test's own HEX file does not convert"
[ "$(wc -c < /tmp/firmware.bin)" -eq "$image_bytes" ] || fail "the image is $(wc -c < /tmp/firmware.bin) bytes"

plug --replug-on-boot --save-flash /tmp/flash.bin
started=$(now_ms)
vorelle2-cli firmware /tmp/firmware.hex --yes > /tmp/update.out 2> /tmp/update.err ||
  fail "the update failed ($?): $(tail -n 3 /tmp/update.err) $(cat /tmp/update.out)"
took=$(( $(now_ms) - started ))
grep -q "verified" /tmp/update.out || fail "the update did not say verified: $(cat /tmp/update.out)"
unplug
[ -f /tmp/flash.bin ] || fail "vorelle2-sim-uhid saved no flash: $(cat /tmp/sim.err)"
tail -c +$((bootloader_bytes + 1)) /tmp/firmware.bin > /tmp/firmware.sent
head -c "$image_bytes" /tmp/flash.bin | tail -c +$((bootloader_bytes + 1)) > /tmp/flash.written
cmp /tmp/firmware.sent /tmp/flash.written > /tmp/cmp.out 2>&1 ||
  fail "the console's flash does not hold the image: $(cat /tmp/cmp.out)"
say "  $(cat /tmp/update.out)"
figure firmware_update "$took" ms \
  "$((image_bytes - bootloader_bytes)) bytes written and read back, the bootloader's replug and the program's start included"
