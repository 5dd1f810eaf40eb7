#include "sim/SimulatedConsole.h"

#include "link/Commands.h"
#include "live/LiveItems.h"
#include "settings/TimeZones.h"
#include "sim/LiveRecordEncoder.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string_view>

namespace vorelle {

namespace {

constexpr std::size_t kPayloadPerReport = kReportSize - 2;
constexpr std::string_view kApplicationVersion = "Vorelle console V2.14";
constexpr std::string_view kBootloaderVersion = "Vorelle Bootloader V1.03";
constexpr std::size_t kReadBackDataOffset = 8;
constexpr std::size_t kMaxBlockLength = kReportSize - kReadBackDataOffset;

// A text as the console sends it: its length, then its characters.
std::vector<std::uint8_t> CountedText(std::string_view text)
{
    std::vector<std::uint8_t> bytes(text.size() + 1);
    bytes[0] = static_cast<std::uint8_t>(text.size());
    std::copy(text.begin(), text.end(), bytes.begin() + 1);
    return bytes;
}

std::uint32_t LittleEndian32(const Report& command, std::size_t at)
{
    return command[at] | (command[at + 1] << 8) | (command[at + 2] << 16) |
           (static_cast<std::uint32_t>(command[at + 3]) << 24);
}

}  // namespace

SimulatedConsole::SimulatedConsole(double timeScale)
    : timeScale_(timeScale),
      // °C, hPa, m/s, mm, lux; daylight saving on in Brussels/Paris, which has
      // a rule; a reading every 5 minutes; the ra5 sensor on 868 MHz.
      settings_{0x02, 13, 0, 2, 0, 0, 0, 1, 45, 1, 5, 0, 1}
{
}

void SimulatedConsole::SetClock(std::function<Clock::time_point()> clock)
{
    std::lock_guard lock(mutex_);
    clock_ = std::move(clock);
}

SimulatedConsole::Clock::time_point SimulatedConsole::Now() const
{
    std::lock_guard lock(mutex_);
    return clock_ ? clock_() : Clock::now();
}

SimulatedConsole::SettingsBlock SimulatedConsole::Settings() const
{
    std::lock_guard lock(mutex_);
    return settings_;
}

void SimulatedConsole::SetSettings(const SettingsBlock& block)
{
    std::lock_guard lock(mutex_);
    settings_ = block;
}

void SimulatedConsole::SetUnitCodes(std::uint8_t temperature, std::uint8_t pressure, std::uint8_t wind,
                                    std::uint8_t rain, std::uint8_t light)
{
    std::lock_guard lock(mutex_);
    settings_[2] = temperature;
    settings_[3] = pressure;
    settings_[4] = wind;
    settings_[5] = rain;
    settings_[6] = light;
}

std::map<std::uint32_t, std::uint8_t> SimulatedConsole::Flash() const
{
    std::lock_guard lock(mutex_);
    return flash_;
}

std::vector<Report> SimulatedConsole::ReceivedCommands() const
{
    std::lock_guard lock(mutex_);
    return received_;
}

std::vector<Report> SimulatedConsole::ReceivedCommands(std::uint8_t code) const
{
    std::vector<Report> matching;
    for (const Report& command : ReceivedCommands())
        if (command[0] == code)
            matching.push_back(command);
    return matching;
}

void SimulatedConsole::ClearReceived()
{
    std::lock_guard lock(mutex_);
    received_.clear();
}

std::shared_ptr<SimReplyQueue> SimulatedConsole::OpenReplies()
{
    auto queue = std::make_shared<SimReplyQueue>();
    std::lock_guard lock(mutex_);
    std::erase_if(replyQueues_, [](const std::weak_ptr<SimReplyQueue>& open) { return open.expired(); });
    replyQueues_.push_back(queue);
    return queue;
}

void SimulatedConsole::DropReplies()
{
    std::lock_guard lock(mutex_);
    for (const std::weak_ptr<SimReplyQueue>& open : replyQueues_)
        if (const std::shared_ptr<SimReplyQueue> queue = open.lock())
            queue->Clear();
}

Report SimulatedConsole::Reply(std::uint8_t code, const std::vector<std::uint8_t>& payload) const
{
    Report reply{};
    const std::size_t count = std::min(payload.size(), kPayloadPerReport);
    reply[0] = faults_.wrongCode ? static_cast<std::uint8_t>(code ^ 0x40) : code;
    reply[1] = faults_.badLength ? 0xFF : static_cast<std::uint8_t>(count + 2);
    std::copy_n(payload.begin(), count, reply.begin() + 2);
    return reply;
}

void SimulatedConsole::Receive(const WireReport& wire)
{
    Report command{};
    std::memcpy(command.data(), wire.data() + 1, command.size());
    std::vector<Report> answers = Answer(command);

    std::lock_guard lock(mutex_);
    received_.push_back(command);
    if (faults_.noReply)
        return;
    const auto late = std::chrono::milliseconds(static_cast<long long>(faults_.lateReplyMs * timeScale_));
    const auto due = std::chrono::steady_clock::now() + late;
    for (const std::weak_ptr<SimReplyQueue>& open : replyQueues_)
        if (const std::shared_ptr<SimReplyQueue> queue = open.lock())
            for (const Report& answer : answers)
                queue->Push(answer, due);
}

LiveValues SimulatedConsole::TakeReading(Clock::time_point now)
{
    LiveValues values = weather_.Read(now);
    maxMin_.Update(values);
    return values;
}

std::vector<Report> SimulatedConsole::LiveRecordReplies()
{
    const Clock::time_point now = Now();
    const LiveValues values = TakeReading(now);
    const std::vector<std::uint8_t> record = EncodeLiveRecord(
        values, LiveRecordItems(weather_.ChannelCount(), weather_.SoilSensor(), weather_.Pm25Sensor()), now);
    // The record travels in two packets; the console splits it where the
    // first report is full.
    const std::size_t first = std::min(record.size(), kPayloadPerReport);
    std::vector<Report> replies;
    replies.push_back(Reply(CMD_READ_LIVE.code, {record.begin(), record.begin() + static_cast<std::ptrdiff_t>(first)}));
    if (!faults_.firstLivePacketOnly)
        replies.push_back(Reply(CMD_READ_LIVE.code, {record.begin() + static_cast<std::ptrdiff_t>(first), record.end()}));
    return replies;
}

void SimulatedConsole::ApplySettingsWrite(const Report& command)
{
    std::lock_guard lock(mutex_);
    // The write carries no "daylight saving offered" byte, so from byte 9 on
    // it sits one place before the block.
    for (std::size_t i = 2; i <= 8; ++i)
        settings_[i] = command[i];
    settings_[10] = command[9];
    settings_[11] = command[10];
    settings_[12] = command[11];
    // The console knows which of its zones keep daylight saving and offers
    // the switch accordingly.
    settings_[9] = HasDaylightSavingRule(command[8]) ? 1 : 0;
}

void SimulatedConsole::ApplyItemsWrite(const Report& command)
{
    // Totals the command does not set (or sets to "no value") stay as the
    // console has them now; one whose sensor is silent starts from 0.
    const LiveValues now = TakeReading(Now());
    std::int32_t today = std::max(now.RainToday, 0);
    std::int32_t week = std::max(now.RainThisWeek, 0);
    std::int32_t month = std::max(now.RainThisMonth, 0);
    std::int32_t year = std::max(now.RainThisYear, 0);

    const std::size_t end = std::min<std::size_t>(command[1], command.size());
    std::size_t at = 2;
    while (at < end) {
        const std::uint8_t code = command[at];
        const std::optional<ItemKind> kind = KindOfItem(code);
        if (!kind)
            break;
        const std::size_t size = ValueSize(*kind);
        if (size > end - at - 1)
            break;
        std::uint32_t raw = 0;
        for (std::size_t i = 0; i < size; ++i)
            raw = (raw << 8) | command[at + 1 + i];
        const bool noValue = (*kind == ItemKind::Rain16 && raw == 0xFFFF) ||
                             (*kind == ItemKind::Rain32 && raw == 0xFFFFFFFFu);
        const auto total = static_cast<std::int32_t>(
            std::min<std::uint32_t>(raw, static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max())));
        if (!noValue) {
            switch (code) {
            case item::RainToday:
                today = total;
                break;
            case item::RainThisWeek:
                week = total;
                break;
            case item::RainThisMonth:
                month = total;
                break;
            case item::RainThisYear:
                year = total;
                break;
            default:
                break;  // the clock and other items are the console's own business
            }
        }
        at += 1 + size;
    }
    weather_.SetRainTotals(today, week, month, year);
}

std::vector<Report> SimulatedConsole::Answer(const Report& command)
{
    const std::uint8_t code = command[0];
    const auto ack = [&] { return std::vector<Report>{Reply(code, {0})}; };

    if (bootloader_) {
        switch (code) {
        case 0x80:
            return {Reply(code, CountedText(kBootloaderVersion))};
        case 0x82: {
            std::lock_guard lock(mutex_);
            flash_.clear();
            return ack();
        }
        case 0x83: {
            const std::uint32_t byteAddress = LittleEndian32(command, 1) * 2;
            const std::size_t length = std::min<std::size_t>(command[5], kMaxBlockLength);
            std::lock_guard lock(mutex_);
            for (std::size_t i = 0; i < length; ++i)
                flash_[byteAddress + static_cast<std::uint32_t>(i)] = command[kReadBackDataOffset + i];
            return {};
        }
        case 0x84:
            return {};
        case 0x85: {
            const std::uint32_t byteAddress = LittleEndian32(command, 1) * 2;
            const std::size_t length = std::min<std::size_t>(command[5], kMaxBlockLength);
            Report reply{};
            reply[0] = code;
            std::copy_n(command.begin() + 1, 5, reply.begin() + 1);
            std::lock_guard lock(mutex_);
            for (std::size_t i = 0; i < length; ++i) {
                const auto found = flash_.find(byteAddress + static_cast<std::uint32_t>(i));
                reply[kReadBackDataOffset + i] = found == flash_.end() ? 0xFF : found->second;
            }
            return {reply};
        }
        case 0x87:
            bootloader_ = false;
            return {};
        default:
            return {};
        }
    }

    switch (code) {
    case 0x01:
        return LiveRecordReplies();
    case 0x02: {
        const SettingsBlock block = Settings();
        return {Reply(code, {block.begin() + 2, block.end()})};
    }
    case 0x03:
        ApplySettingsWrite(command);
        return ack();
    case 0x04:
    case 0x06:
        // Blocks without records yet.
        return {Reply(code, {})};
    case 0x08:
        return {Reply(code, maxMin_.Encode())};
    case 0x09:
        maxMin_.Clear(LittleEndian32(command, 2));
        return ack();
    case 0x0D:
        ApplyItemsWrite(command);
        return ack();
    case 0x0A:
        // An empty card: the terminating entry alone.
        return {Reply(code, {0, 0, 0, 0, 0})};
    case 0x0B:
        return {Reply(code, {0})};
    case 0x0C:
        return {Reply(code, {0})};
    case 0x20:
        return {Reply(code, {static_cast<std::uint8_t>(mainScreen_ ? 0 : 1)})};
    case 0x80:
        return {Reply(code, CountedText(kApplicationVersion))};
    case 0x86:
        bootloader_ = true;
        return {};
    case 0x05:
    case 0x07:
    case 0x12:
    case 0x14:
    case 0x88:
    case 0x8A:
    case 0xF2:
    case 0xF4:
    case 0xF6:
        return ack();
    default:
        return {};
    }
}

}  // namespace vorelle
