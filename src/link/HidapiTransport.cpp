#include "link/HidapiTransport.h"

#include <hidapi.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace vorelle {
namespace {

// hidapi keeps its own text of the failure; the system's error number names
// the cause more plainly (most often "Permission denied").
std::string OpenFailureReason(int errorNumber)
{
    if (errorNumber != 0)
        return std::strerror(errorNumber);
    const wchar_t* text = hid_error(nullptr);
    std::string reason;
    for (const wchar_t* c = text; c && *c; ++c)
        reason += (*c >= 0x20 && *c < 0x7F) ? static_cast<char>(*c) : '?';
    return reason;
}

class HidapiDevice final : public HidDevice {
public:
    explicit HidapiDevice(hid_device* handle) : handle_(handle) {}
    ~HidapiDevice() override { hid_close(handle_); }
    HidapiDevice(const HidapiDevice&) = delete;
    HidapiDevice& operator=(const HidapiDevice&) = delete;

    bool Write(const WireReport& report) override
    {
        return hid_write(handle_, report.data(), report.size()) >= 0;
    }

    int Read(WireReport& report, std::chrono::milliseconds timeout) override
    {
        // The console does not number its reports, so hidraw hands over the
        // 64 data bytes alone; put the report id back in front so that every
        // back end delivers the same 65-byte form.
        std::uint8_t data[kReportSize];
        const int got = hid_read_timeout(handle_, data, sizeof data, static_cast<int>(timeout.count()));
        if (got < 0)
            return -1;
        if (got == 0)
            return 0;
        report.fill(0);
        std::memcpy(report.data() + 1, data, static_cast<std::size_t>(got));
        return got + 1;
    }

private:
    hid_device* handle_;
};

}  // namespace

HidapiTransport::HidapiTransport() { hid_init(); }

HidapiTransport::~HidapiTransport() { hid_exit(); }

std::vector<HidDeviceInfo> HidapiTransport::Enumerate()
{
    std::vector<HidDeviceInfo> found;
    hid_device_info* list = hid_enumerate(kConsoleVendorId, kConsoleProductId);
    for (const hid_device_info* info = list; info; info = info->next)
        found.push_back({info->path ? info->path : "", info->vendor_id, info->product_id});
    hid_free_enumeration(list);
    return found;
}

std::unique_ptr<HidDevice> HidapiTransport::OpenPath(const std::string& path, std::string* error)
{
    errno = 0;
    hid_device* handle = hid_open_path(path.c_str());
    if (handle)
        return std::make_unique<HidapiDevice>(handle);
    if (error)
        *error = OpenFailureReason(errno);
    return nullptr;
}

}  // namespace vorelle
