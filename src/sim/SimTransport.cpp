#include "sim/SimTransport.h"

#include <thread>

namespace vorelle {

namespace {

class SimDevice final : public HidDevice {
public:
    explicit SimDevice(std::shared_ptr<SimTransport::Port> port)
        : port_(std::move(port)),
          plugging_(port_->pluggings),
          replies_(port_->console ? port_->console->OpenReplies() : nullptr)
    {
    }

    bool Write(const WireReport& report) override
    {
        if (!Alive())
            return false;
        if (port_->console)
            port_->console->Receive(report);
        return true;
    }

    int Read(WireReport& report, std::chrono::milliseconds timeout) override
    {
        if (!Alive())
            return -1;
        if (!replies_) {
            std::this_thread::sleep_for(timeout);
            return 0;
        }
        const int transferred = replies_->Next(report, timeout);
        return Alive() ? transferred : -1;
    }

private:
    // A handle opened before the cable was pulled stays dead after replugging.
    bool Alive() const { return port_->present && port_->pluggings == plugging_; }

    std::shared_ptr<SimTransport::Port> port_;
    const std::uint64_t plugging_;
    // This handle's own copy of the console's replies.
    const std::shared_ptr<SimReplyQueue> replies_;
};

}  // namespace

SimTransport::SimTransport(SimulatedConsole& console)
{
    AddDevice(kConsolePath, kConsoleVendorId, kConsoleProductId, &console);
}

void SimTransport::AddDevice(const std::string& path, std::uint16_t vendorId, std::uint16_t productId,
                             SimulatedConsole* console)
{
    auto port = std::make_shared<Port>();
    port->info = {path, vendorId, productId};
    port->console = console;
    std::lock_guard lock(mutex_);
    ports_.push_back(std::move(port));
}

std::shared_ptr<SimTransport::Port> SimTransport::Find(const std::string& path) const
{
    std::lock_guard lock(mutex_);
    for (const auto& port : ports_)
        if (port->info.path == path)
            return port;
    return nullptr;
}

void SimTransport::SetPlugged(const std::string& path, bool plugged)
{
    const std::shared_ptr<Port> port = Find(path);
    if (!port || port->present == plugged)
        return;
    if (!plugged && port->console)
        port->console->DropReplies();
    ++port->pluggings;
    port->present = plugged;
    PlugListener listener;
    {
        std::lock_guard lock(mutex_);
        listener = listener_;
    }
    if (listener)
        listener(plugged ? DeviceEvent::Arrival : DeviceEvent::Removal);
}

void SimTransport::Unplug(const std::string& path) { SetPlugged(path, false); }

void SimTransport::Plug(const std::string& path) { SetPlugged(path, true); }

bool SimTransport::IsPlugged(const std::string& path) const
{
    const std::shared_ptr<Port> port = Find(path);
    return port && port->present;
}

void SimTransport::SetPlugListener(PlugListener listener)
{
    std::lock_guard lock(mutex_);
    listener_ = std::move(listener);
}

std::vector<HidDeviceInfo> SimTransport::Enumerate()
{
    std::vector<HidDeviceInfo> present;
    std::lock_guard lock(mutex_);
    for (const auto& port : ports_)
        if (port->present)
            present.push_back(port->info);
    return present;
}

void SimTransport::RefuseOpening(const std::string& path, std::string reason)
{
    if (const std::shared_ptr<Port> port = Find(path)) {
        std::lock_guard lock(mutex_);
        port->refusal = std::move(reason);
    }
}

std::unique_ptr<HidDevice> SimTransport::OpenPath(const std::string& path, std::string* error)
{
    std::shared_ptr<Port> port = Find(path);
    std::string refusal = !port || !port->present ? "No such device" : "";
    if (port && refusal.empty()) {
        std::lock_guard lock(mutex_);
        refusal = port->refusal;
    }
    if (!refusal.empty()) {
        if (error)
            *error = refusal;
        return nullptr;
    }
    return std::make_unique<SimDevice>(std::move(port));
}

}  // namespace vorelle
