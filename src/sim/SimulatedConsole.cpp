#include "sim/SimulatedConsole.h"

#include "items/ItemCodec.h"
#include "link/BigEndian.h"
#include "link/ByteOrder.h"
#include "link/Commands.h"
#include "link/ReplyArea.h"
#include "settings/TimeZones.h"
#include "sim/LiveRecordEncoder.h"
#include "sim/SimReply.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string_view>

namespace vorelle {

namespace {

constexpr std::size_t kPayloadPerReport = kReportSize - 2;
constexpr std::string_view kApplicationVersion = "Vorelle console V2.14";

// What the recordings follow: the display units and the recording interval.
SimRecordingSettings RecordingSettingsOf(const SimulatedConsole::SettingsBlock& block)
{
    return {{block[2], block[3], block[4], block[5], block[6]}, block[10]};
}

}  // namespace

SimulatedConsole::SimulatedConsole(double timeScale)
    : timeScale_(timeScale),
      // °C, hPa, m/s, mm, lux; daylight saving on in Brussels/Paris, which has
      // a rule; a reading every 5 minutes; the ra5 sensor on 868 MHz.
      settings_{0x02, 13, 0, 2, 0, 0, 0, 1, 45, 1, 5, 0, 1},
      card_(weather_, faults_, replies_, timeScale, RecordingSettingsOf(settings_))
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
    card_.ResetSettings(RecordingSettingsOf(settings_));
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
    card_.ResetSettings(RecordingSettingsOf(settings_));
}

void SimulatedConsole::SetCable(Cable cable)
{
    std::lock_guard lock(mutex_);
    cable_ = std::move(cable);
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

std::shared_ptr<SimReplyQueue> SimulatedConsole::OpenReplies() { return replies_.Open(); }

void SimulatedConsole::DropReplies()
{
    card_.StopStream();
    replies_.Clear();
}

Report SimulatedConsole::Reply(std::uint8_t code, const std::vector<std::uint8_t>& payload) const
{
    Report reply = PlainReply(code, payload);
    if (faults_.wrongCode)
        reply[0] = static_cast<std::uint8_t>(code ^ 0x40);
    if (faults_.badLength)
        reply[1] = 0xFF;
    return reply;
}

void SimulatedConsole::Receive(const WireReport& wire)
{
    Report command{};
    std::memcpy(command.data(), wire.data() + 1, command.size());
    SimBootloader::Answer answer =
        bootloader_.Takes(command) ? bootloader_.Receive(command) : SimBootloader::Answer{Answer(command)};

    Cable cable;
    {
        std::lock_guard lock(mutex_);
        received_.push_back(command);
        cable = cable_;
        if (!faults_.noReply) {
            const auto late = std::chrono::milliseconds(faults_.lateReplyMs) + answer.delay;
            const auto due = std::chrono::steady_clock::now() +
                             std::chrono::milliseconds(static_cast<long long>(late.count() * timeScale_));
            for (const Report& reply : answer.replies)
                replies_.Push(reply, due);
        }
    }
    // After the replies, as a console that restarts or loses its cable does.
    if (cable && answer.cable != SimBootloader::Cable::Stays) {
        cable(false);
        if (answer.cable == SimBootloader::Cable::Replugged)
            cable(true);
    }
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
    const Clock::time_point now = Now();
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
    card_.ChangeSettings(now, RecordingSettingsOf(settings_));
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

    ForEachItem(ReplyPayload(command), ItemValueSize, [&](std::uint8_t code, std::span<const std::uint8_t> value) {
        if (IsMissingValue(*KindOfItem(code), value))
            return;
        const auto total = static_cast<std::int32_t>(std::min<std::uint32_t>(
            ReadBigEndian(value), static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max())));
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
    });
    weather_.SetRainTotals(today, week, month, year);
}

std::vector<Report> SimulatedConsole::Answer(const Report& command)
{
    const std::uint8_t code = command[0];
    const auto ack = [&] { return std::vector<Report>{Reply(code, {0})}; };

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
        return {Reply(code, calibration_.Encode())};
    case 0x05:
        calibration_.Apply(command);
        return ack();
    case 0x06:
        return {Reply(code, alarm_.Encode())};
    case 0x07:
        alarm_.Apply(command);
        return ack();
    case 0x08:
        return {Reply(code, maxMin_.Encode())};
    case 0x09:
        maxMin_.Clear(ReadLittleEndian32(command.data() + 2));
        return ack();
    case 0x0D:
        ApplyItemsWrite(command);
        return ack();
    case 0x0A:
    case 0x0B:
    case 0x0C:
        return card_.Answer(command, Now());
    case 0x20:
        return {Reply(code, {static_cast<std::uint8_t>(mainScreen_ ? 0 : 1)})};
    case 0x80:
        return {Reply(code, CountedText(kApplicationVersion))};
    case 0x12:
    case 0x14:
    case 0x8A:
    case 0xF2:
    case 0xF4:
    case 0xF6:
        network_.Apply(command);
        return ack();
    case 0x88:
        return ack();
    default:
        return {};
    }
}

}  // namespace vorelle
