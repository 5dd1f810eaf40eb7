# Pulling the console while a sender waits for its reply releases the sender
# at once, and the console plugged in again is found and answers.
. /lib.sh
# Every reply comes 10 s late, so the exchange is surely still waiting.
plug --late-reply 10000
vorelle2_kernel_probe unplug "$SIM_PID" > /tmp/probe.out &
probe=$!
wait_for 40 grep -q '^connected=' /tmp/probe.out || fail "the sender was not released: $(cat /tmp/probe.out)"
reap
released=$(sed -n 's/^released_ms=//p' /tmp/probe.out)
grep -q '^gone_after_sending=1' /tmp/probe.out ||
  fail "the released exchange did not say the console went away: $(tr "\n" " " < /tmp/probe.out)"
grep -q '^connected=0' /tmp/probe.out || fail "the link still says connected after the unplug: $(tr "\n" " " < /tmp/probe.out)"
plug
wait "$probe" || fail "the console plugged in again was not used: $(cat /tmp/probe.out)"
reconnect=$(sed -n 's/^reconnect_ms=//p' /tmp/probe.out)
figure release_after_unplug "$released" ms "from SIGTERM to vorelle2-sim-uhid to the sender's release"
figure replug_to_answer "$reconnect" ms "from the release to the first answer of the console plugged in again"
[ "${released%.*}" -lt 2000 ] || fail "the sender was held $released ms after the unplug"
unplug
