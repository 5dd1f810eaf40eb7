#pragma once

#include "link/HidTransport.h"

#include <linux/uhid.h>

#include <cstddef>
#include <optional>
#include <span>

namespace vorelle {

// The console's HID report descriptor: a vendor-defined collection with one
// 64-byte input report and one 64-byte output report, without report ids.
std::span<const std::uint8_t> ConsoleReportDescriptor();

// The events the simulated console writes to /dev/uhid.
uhid_event CreateConsoleEvent();  // the console appears, as USB 0483:5750
uhid_event DestroyEvent();        // and goes, as when its cable is pulled
uhid_event InputEvent(const Report& report);

// The host's output report carried by an UHID_OUTPUT event of which
// `received` bytes were read, with its report id in byte 0 as the host wrote
// it. A shorter report is zero-filled, as the console's receive buffer reads
// it. Nothing when the event is no output report, is cut short, carries a
// report id other than 0 (the console numbers none) or more than 64 bytes.
std::optional<WireReport> OutputReportOf(const uhid_event& event, std::size_t received);

// The console has no feature reports: the reply that refuses a feature
// request (UHID_GET_REPORT or UHID_SET_REPORT) at once, so that the kernel
// does not wait out its own timeout. Nothing for any other event.
std::optional<uhid_event> RefusalOf(const uhid_event& event, std::size_t received);

}  // namespace vorelle
