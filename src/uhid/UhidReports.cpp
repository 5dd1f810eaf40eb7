#include "uhid/UhidReports.h"

#include <linux/input.h>

#include <array>
#include <cerrno>
#include <cstddef>
#include <cstring>

namespace vorelle {

namespace {

constexpr std::array<std::uint8_t, 28> kReportDescriptor = {
    0x06, 0x00, 0xFF,  // Usage Page (vendor defined 0xFF00)
    0x09, 0x01,        // Usage (1)
    0xA1, 0x01,        // Collection (Application)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x75, 0x08,        //   Report Size (8 bits)
    0x95, 0x40,        //   Report Count (64)
    0x09, 0x01,        //   Usage (1)
    0x81, 0x02,        //   Input (Data, Variable, Absolute)
    0x95, 0x40,        //   Report Count (64)
    0x09, 0x01,        //   Usage (1)
    0x91, 0x02,        //   Output (Data, Variable, Absolute)
    0xC0,              // End Collection
};

constexpr char kDeviceName[] = "Vorelle console (simulated)";
constexpr char kDevicePhys[] = "vorelle2-sim-uhid";
constexpr std::uint32_t kDeviceVersion = 0x0100;

// The bytes of an event before its request.
constexpr std::size_t kEventHeader = offsetof(uhid_event, u);

uhid_event EventOfType(std::uint32_t type)
{
    uhid_event event;
    std::memset(&event, 0, sizeof event);
    event.type = type;
    return event;
}

}  // namespace

std::span<const std::uint8_t> ConsoleReportDescriptor() { return kReportDescriptor; }

uhid_event CreateConsoleEvent()
{
    static_assert(sizeof kDeviceName <= sizeof(uhid_create2_req::name));
    static_assert(sizeof kDevicePhys <= sizeof(uhid_create2_req::phys));
    static_assert(kReportDescriptor.size() <= HID_MAX_DESCRIPTOR_SIZE);
    uhid_event event = EventOfType(UHID_CREATE2);
    std::memcpy(event.u.create2.name, kDeviceName, sizeof kDeviceName);
    std::memcpy(event.u.create2.phys, kDevicePhys, sizeof kDevicePhys);
    event.u.create2.rd_size = static_cast<std::uint16_t>(kReportDescriptor.size());
    event.u.create2.bus = BUS_USB;
    event.u.create2.vendor = kConsoleVendorId;
    event.u.create2.product = kConsoleProductId;
    event.u.create2.version = kDeviceVersion;
    event.u.create2.country = 0;
    std::memcpy(event.u.create2.rd_data, kReportDescriptor.data(), kReportDescriptor.size());
    return event;
}

uhid_event DestroyEvent() { return EventOfType(UHID_DESTROY); }

uhid_event InputEvent(const Report& report)
{
    uhid_event event = EventOfType(UHID_INPUT2);
    event.u.input2.size = static_cast<std::uint16_t>(report.size());
    std::memcpy(event.u.input2.data, report.data(), report.size());
    return event;
}

std::optional<WireReport> OutputReportOf(const uhid_event& event, std::size_t received)
{
    if (received < kEventHeader + sizeof(uhid_output_req) || event.type != UHID_OUTPUT ||
        event.u.output.rtype != UHID_OUTPUT_REPORT)
        return std::nullopt;
    const std::size_t size = event.u.output.size;
    if (size < 1 || size > kWireReportSize || event.u.output.data[0] != 0)
        return std::nullopt;
    WireReport report{};
    std::memcpy(report.data(), event.u.output.data, size);
    return report;
}

std::optional<uhid_event> RefusalOf(const uhid_event& event, std::size_t received)
{
    if (event.type == UHID_GET_REPORT && received >= kEventHeader + sizeof(uhid_get_report_req)) {
        uhid_event reply = EventOfType(UHID_GET_REPORT_REPLY);
        reply.u.get_report_reply.id = event.u.get_report.id;
        reply.u.get_report_reply.err = EIO;
        return reply;
    }
    if (event.type == UHID_SET_REPORT && received >= kEventHeader + offsetof(uhid_set_report_req, data)) {
        uhid_event reply = EventOfType(UHID_SET_REPORT_REPLY);
        reply.u.set_report_reply.id = event.u.set_report.id;
        reply.u.set_report_reply.err = EIO;
        return reply;
    }
    return std::nullopt;
}

}  // namespace vorelle
