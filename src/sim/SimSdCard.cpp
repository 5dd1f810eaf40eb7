#include "sim/SimSdCard.h"

#include "link/BigEndian.h"
#include "link/Commands.h"
#include "sim/SimulatedConsole.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace vorelle {

namespace {

using Clock = SimSdCard::Clock;

constexpr std::size_t kPacketData = 60;
constexpr std::size_t kMaxRequestedName = 53;
constexpr std::size_t kMaxDeletedName = kReportSize - 3;
constexpr std::uint8_t kDeleted = 0;
constexpr std::uint8_t kNotDeleted = 1;
constexpr int kMinInterval = 1;
constexpr int kMaxInterval = 240;
constexpr SimRecordingKind kKinds[] = {SimRecordingKind::Weather, SimRecordingKind::Channels, SimRecordingKind::Soil};

std::tm LocalCalendar(Clock::time_point time)
{
    const std::time_t t = Clock::to_time_t(time);
    std::tm local{};
    localtime_r(&t, &local);
    return local;
}

// Local midnight of the day `days` after the day of `time`; `adjust` moves
// the date further (to the week's Monday, the 1st of the month, ...).
Clock::time_point Midnight(Clock::time_point time, int days, void (*adjust)(std::tm&) = nullptr)
{
    std::tm local = LocalCalendar(time);
    local.tm_hour = 0;
    local.tm_min = 0;
    local.tm_sec = 0;
    local.tm_mday += days;
    if (adjust)
        adjust(local);
    local.tm_isdst = -1;
    return Clock::from_time_t(std::mktime(&local));
}

std::string DayName(Clock::time_point dayStart)
{
    const std::tm local = LocalCalendar(dayStart);
    char name[48];
    std::snprintf(name, sizeof name, "%04d%02d%02d", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    return name;
}

std::int32_t RainTenths(double millimetres) { return static_cast<std::int32_t>(std::lround(millimetres * 10.0)); }

// The name a command carries after its length byte, cut to what fits.
std::string NameOf(const Report& command, std::size_t lengthAt, std::size_t longest)
{
    const std::size_t length = std::min<std::size_t>(command[lengthAt], longest);
    const auto name = command.begin() + static_cast<std::ptrdiff_t>(lengthAt + 1);
    return {name, name + static_cast<std::ptrdiff_t>(length)};
}

Report CardReply(std::uint8_t code, std::size_t meaningful)
{
    Report reply{};
    reply[0] = code;
    reply[1] = static_cast<std::uint8_t>(std::min(meaningful, kReportSize));
    return reply;
}

// One listing entry: size, name length and as much of the name as fits.
Report EntryReport(const SimCardFile& file)
{
    Report entry = CardReply(CMD_READ_FILE_LIST.code, 7 + file.name.size());
    const auto size = static_cast<std::uint32_t>(file.content->size());
    entry[2] = static_cast<std::uint8_t>(size >> 24);
    entry[3] = static_cast<std::uint8_t>(size >> 16);
    entry[4] = static_cast<std::uint8_t>(size >> 8);
    entry[5] = static_cast<std::uint8_t>(size);
    // A name too long for the report keeps its true length byte.
    entry[6] = static_cast<std::uint8_t>(std::min<std::size_t>(file.name.size(), 255));
    std::copy_n(file.name.begin(), std::min(file.name.size(), kReportSize - 7), entry.begin() + 7);
    return entry;
}

Report DataPacket(const char* data, std::size_t count)
{
    Report packet = CardReply(CMD_READ_FILE.code, 3 + count);
    packet[2] = static_cast<std::uint8_t>(count);
    std::copy_n(data, count, packet.begin() + 3);
    return packet;
}

// Takes one from a count of requests still to be affected.
bool TakeOne(std::atomic<int>& count)
{
    int left = count.load();
    while (left > 0)
        if (count.compare_exchange_weak(left, left - 1))
            return true;
    return false;
}

// The console lists its files in the order they sit in its directory, which
// follows no rule a program could rely on.
std::uint64_t Scramble(const std::string& name)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : name)
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return hash;
}

}  // namespace

// The rain of the week, month and year before the day began, in mm.
struct SimSdCard::RainBases {
    double week = 0.0;
    double month = 0.0;
    double year = 0.0;
};

SimSdCard::SimSdCard(SimWeather& weather, const SimFaults& consoleFaults, SimReplyQueues& replies, double timeScale,
                     SimRecordingSettings settings)
    : weather_(weather),
      consoleFaults_(consoleFaults),
      timeScale_(timeScale),
      settings_{{Clock::time_point::min(), settings}},
      stream_(replies, timeScale)
{
}

void SimSdCard::ResetSettings(SimRecordingSettings settings)
{
    std::lock_guard lock(mutex_);
    settings_ = {{Clock::time_point::min(), settings}};
}

void SimSdCard::ChangeSettings(Clock::time_point at, SimRecordingSettings settings)
{
    std::lock_guard lock(mutex_);
    if (SettingsAt(at) == settings)
        return;
    const auto later = std::upper_bound(settings_.begin(), settings_.end(), at,
                                        [](Clock::time_point t, const auto& held) { return t < held.first; });
    settings_.insert(later, {at, settings});
}

const SimRecordingSettings& SimSdCard::SettingsAt(Clock::time_point time) const
{
    const auto after = std::upper_bound(settings_.begin(), settings_.end(), time,
                                        [](Clock::time_point t, const auto& held) { return t < held.first; });
    return std::prev(after)->second;
}

Clock::time_point SimSdCard::NextReading(Clock::time_point time, Clock::time_point dayStart) const
{
    const auto minutes = [](const SimRecordingSettings& s) {
        return std::chrono::minutes(std::clamp(s.intervalMinutes, kMinInterval, kMaxInterval));
    };
    const Clock::time_point next = time + minutes(SettingsAt(time));
    // A new interval counts from midnight, from the moment it was set.
    const auto change = std::upper_bound(settings_.begin(), settings_.end(), time,
                                         [](Clock::time_point t, const auto& held) { return t < held.first; });
    if (change == settings_.end() || change->first > next)
        return next;
    const auto interval = minutes(change->second);
    const auto sinceMidnight = std::chrono::ceil<std::chrono::minutes>(change->first - dayStart);
    return dayStart + (sinceMidnight + interval - std::chrono::minutes(1)) / interval * interval;
}

SimRecordedReading SimSdCard::ReadingAt(Clock::time_point time, Clock::time_point dayStart,
                                        const RainBases& bases) const
{
    SimRecordedReading reading;
    reading.localTime = LocalCalendar(time);
    reading.values = weather_.Sample(time);
    const double today = SimWeather::RainFallen(dayStart, time);
    reading.values.RainToday = RainTenths(today);
    reading.values.RainThisWeek = RainTenths(bases.week + today);
    reading.values.RainThisMonth = RainTenths(bases.month + today);
    reading.values.RainThisYear = RainTenths(bases.year + today);
    weather_.MarkMissing(reading.values);
    constexpr std::int32_t kRainMissing = -1;
    reading.rainLastHour = reading.values.RainRate == kRainMissing
                               ? kRainMissing
                               : RainTenths(SimWeather::RainFallen(time - std::chrono::hours(1), time));
    return reading;
}

void SimSdCard::WriteDay(Clock::time_point dayStart, Clock::time_point now, std::vector<DayFile>& files) const
{
    const bool weather = std::any_of(files.begin(), files.end(),
                                     [](const DayFile& f) { return f.kind == SimRecordingKind::Weather; });
    RainBases bases;
    if (weather) {
        bases.week = SimWeather::RainFallen(Midnight(dayStart, 0, [](std::tm& t) { t.tm_mday -= (t.tm_wday + 6) % 7; }),
                                            dayStart);
        bases.month = SimWeather::RainFallen(Midnight(dayStart, 0, [](std::tm& t) { t.tm_mday = 1; }), dayStart);
        bases.year = SimWeather::RainFallen(Midnight(dayStart, 0, [](std::tm& t) {
                                                t.tm_mday = 1;
                                                t.tm_mon = 0;
                                            }),
                                            dayStart);
    }
    const Clock::time_point dayEnd = Midnight(dayStart, 1);
    std::string line;
    // Each reading is taken once and written to every file of the day.
    for (Clock::time_point time = dayStart; time < dayEnd && time <= now; time = NextReading(time, dayStart)) {
        const auto wanted = [&](const DayFile& f) { return time >= f.cut; };
        if (std::none_of(files.begin(), files.end(), wanted))
            continue;
        const SimRecordingSettings& settings = SettingsAt(time);
        const SimRecordedReading reading = ReadingAt(time, dayStart, bases);
        // The line being written when `now` came is only partly there.
        const bool writing = now - time < kLineWriteTime;
        const double written = std::chrono::duration<double>(now - time) / kLineWriteTime;
        for (DayFile& file : files) {
            if (!wanted(file))
                continue;
            if (file.text.empty())
                AppendRecordingHeader(file.text, file.kind, settings.units);
            line.clear();
            AppendRecordingLine(line, file.kind, reading, settings.units);
            file.text.append(line, 0, writing ? static_cast<std::size_t>(static_cast<double>(line.size()) * written)
                                              : line.size());
        }
        if (writing)
            break;
    }
}

std::vector<SimCardFile> SimSdCard::FilesLocked(Clock::time_point now, const std::string* only) const
{
    std::vector<SimCardFile> files;
    for (int daysBack = daysKept_ - 1; daysBack >= 0; --daysBack) {
        const Clock::time_point dayStart = Midnight(now, -daysBack);
        std::vector<DayFile> day;
        for (const SimRecordingKind kind : kKinds) {
            std::string name = DayName(dayStart) + std::string(RecordingNameMark(kind)) + ".csv";
            if (only && name != *only)
                continue;
            Clock::time_point cut = replacedAt_;
            if (const auto erased = erasedBefore_.find(name); erased != erasedBefore_.end())
                cut = std::max(cut, erased->second);
            day.push_back({kind, cut, std::move(name), {}});
        }
        WriteDay(dayStart, now, day);
        for (DayFile& file : day)
            if (!file.text.empty())
                files.push_back({std::move(file.name), std::make_shared<const std::string>(std::move(file.text))});
    }
    for (const SimCardFile& file : added_)
        if (!only || file.name == *only)
            files.push_back(file);
    std::sort(files.begin(), files.end(),
              [](const SimCardFile& a, const SimCardFile& b) { return Scramble(a.name) < Scramble(b.name); });
    return files;
}

std::vector<SimCardFile> SimSdCard::Files(Clock::time_point now) const
{
    std::lock_guard lock(mutex_);
    return FilesLocked(now);
}

void SimSdCard::SetDaysKept(int days)
{
    std::lock_guard lock(mutex_);
    daysKept_ = std::clamp(days, 1, kMaxDaysKept);
}

void SimSdCard::AddFile(std::string name, std::string content)
{
    std::lock_guard lock(mutex_);
    added_.push_back({std::move(name), std::make_shared<const std::string>(std::move(content))});
}

void SimSdCard::Replace(Clock::time_point at)
{
    std::lock_guard lock(mutex_);
    replacedAt_ = at;
    erasedBefore_.clear();
    added_.clear();
}

void SimSdCard::SetCablePuller(std::function<void()> pull)
{
    std::lock_guard lock(cableMutex_);
    cablePuller_ = std::move(pull);
}

void SimSdCard::PullCable()
{
    std::lock_guard lock(cableMutex_);
    if (cablePuller_)
        cablePuller_();
}

void SimSdCard::StopStream() { stream_.Stop(); }

void SimSdCard::Stream(SimReplyStream::NextReport next)
{
    if (consoleFaults_.noReply)
        return;
    const auto late = std::chrono::duration<double, std::milli>(consoleFaults_.lateReplyMs * timeScale_);
    stream_.Start(std::move(next), std::chrono::steady_clock::now() +
                                       std::chrono::duration_cast<std::chrono::steady_clock::duration>(late));
}

std::vector<Report> SimSdCard::Listing(Clock::time_point now)
{
    if (TakeOne(faults_.silentListings))
        return {};
    std::vector<Report> reports;
    if (!TakeOne(faults_.emptyListings))
        for (const SimCardFile& file : Files(now))
            reports.push_back(EntryReport(file));
    // The end of the listing: an entry whose name length is 0.
    reports.push_back(CardReply(CMD_READ_FILE_LIST.code, 7));
    Stream([reports = std::move(reports), sent = std::size_t{0}]() mutable -> std::optional<Report> {
        if (sent == reports.size())
            return std::nullopt;
        return reports[sent++];
    });
    return {};
}

void SimSdCard::StreamFile(const Report& command, Clock::time_point now)
{
    if (TakeOne(faults_.silentFileRequests))
        return;
    const std::string name = NameOf(command, 10, kMaxRequestedName);
    std::shared_ptr<const std::string> content = std::make_shared<const std::string>();
    {
        std::lock_guard lock(mutex_);
        for (const SimCardFile& file : FilesLocked(now, &name))
            content = file.content;
    }
    // From the offset asked for to the end of the file as it is now, in full
    // packets and a last short one (which may carry nothing).
    std::size_t position = std::min<std::size_t>(ReadBigEndian(std::span(command).subspan(2, 4)), content->size());
    const int stallAfter = faults_.stallAfterPackets.exchange(-1);
    const int silentAfterStall = stallAfter >= 0 ? faults_.silentRequestsAfterStall.exchange(0) : 0;
    const int unplugAt = faults_.unplugAtPacket.exchange(-1);
    Stream([this, content, position, stallAfter, silentAfterStall, unplugAt, sent = 0,
            ended = false]() mutable -> std::optional<Report> {
        if (ended)
            return std::nullopt;
        if (sent == stallAfter) {
            faults_.silentFileRequests += silentAfterStall;
            ended = true;
            return std::nullopt;
        }
        if (sent == unplugAt) {
            PullCable();
            return std::nullopt;
        }
        const std::size_t count = std::min(kPacketData, content->size() - position);
        const Report packet = DataPacket(content->data() + position, count);
        position += count;
        ++sent;
        ended = count < kPacketData;
        return packet;
    });
}

std::vector<Report> SimSdCard::Delete(const Report& command, Clock::time_point now)
{
    if (TakeOne(faults_.silentDeletes))
        return {};
    const std::string name = NameOf(command, 2, kMaxDeletedName);
    std::uint8_t result = kNotDeleted;
    if (!faults_.refuseDeletes) {
        std::lock_guard lock(mutex_);
        if (!FilesLocked(now, &name).empty()) {
            result = kDeleted;
            // A placed file goes; a recording starts again with the next reading.
            const auto placed = std::find_if(added_.begin(), added_.end(), [&](const SimCardFile& f) { return f.name == name; });
            if (placed != added_.end())
                added_.erase(placed);
            else
                erasedBefore_[name] = now + Clock::duration(1);
        }
    }
    Report reply = CardReply(CMD_DELETE_FILE.code, 3);
    reply[2] = result;
    return {reply};
}

std::vector<Report> SimSdCard::Answer(const Report& command, Clock::time_point now)
{
    switch (command[0]) {
    case 0x0A:
        return Listing(now);
    case 0x0B:
        StreamFile(command, now);
        return {};
    case 0x0C:
        return Delete(command, now);
    default:
        return {};
    }
}

}  // namespace vorelle
