// Fuzz entry point for what comes from outside in the station settings: the
// alarm and calibration blocks the console sends, and the texts typed for it.
// The first byte picks the reader, the rest is its input. Built with libFuzzer
// as station_settings_fuzzer, and without it, under ReplayMain, as the corpus replay
// that ctest runs.
#include "FuzzCheck.h"

#include "link/ConsoleText.h"
#include "link/ReplyArea.h"
#include "settings/AlarmSettings.h"
#include "settings/CalibrationSettings.h"

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace {

using namespace vorelle;

using vorelle::fuzz::Check;

// The bytes a reply says it holds, as far as they arrived.
std::span<const std::uint8_t> Received(std::span<const std::uint8_t> block) { return block.first(ReplyLength(block)); }

// A write command read back as the block it would be if the console echoed it.
template <class Decoded, class Decode>
Decoded AsBlock(Report write, std::uint8_t readCode, Decode decode)
{
    write[0] = readCode;
    return decode(std::span<const std::uint8_t>(write), Decoded{});
}

void Alarm(std::span<const std::uint8_t> block)
{
    AlarmThresholds previous;
    for (AlarmLimit& limit : previous.rows)
        limit = {-12345, true};
    const AlarmThresholds decoded = DecodeAlarm(block, previous);
    Check(DecodeAlarm(Received(block), previous) == decoded, "alarm: nothing past the bytes received is read");
    const AlarmThresholds again = AsBlock<AlarmThresholds>(BuildWriteAlarm(decoded), 0x06, DecodeAlarm);
    for (std::size_t i = 0; i < kAlarmShownRows; ++i) {
        const AlarmLimit& limit = decoded.rows[i];
        if (limit.value == -12345)
            continue;  // never decoded: no field holds it
        Check(again.rows[i] == limit, "alarm: a decoded threshold is written back as it came");
    }
}

void Calibration(std::span<const std::uint8_t> block)
{
    CalibrationOffsets previous;
    previous.rows.fill(-12345);
    const CalibrationOffsets decoded = DecodeCalibration(block, previous);
    Check(DecodeCalibration(Received(block), previous) == decoded, "calibration: nothing past the bytes received");
    const CalibrationOffsets again =
        AsBlock<CalibrationOffsets>(BuildWriteCalibration(decoded), 0x04, DecodeCalibration);
    for (std::size_t i = 0; i < kCalibrationRows; ++i) {
        if (decoded.rows[i] == -12345)
            continue;
        Check(again.rows[i] == decoded.rows[i], "calibration: a decoded offset is written back as it came");
    }
}

// Latin-1 back to UTF-8.
std::string Utf8Of(std::string_view latin1)
{
    std::string utf8;
    for (char c : latin1) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 0x80) {
            utf8 += c;
        } else {
            utf8 += static_cast<char>(0xC0 | (code >> 6));
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return utf8;
}

void Text(std::span<const std::uint8_t> bytes)
{
    const std::string_view utf8(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const ConsoleText text = EncodeConsoleText("Field", utf8);
    if (text.refusal) {
        Check(text.latin1.empty(), "text: a refused text gives no bytes");
        Check(text.refusal->rfind("Field: ", 0) == 0, "text: the refusal names the field");
        return;
    }
    for (char c : text.latin1) {
        const auto code = static_cast<unsigned char>(c);
        Check(code >= 0x20 && !(code >= 0x7F && code <= 0x9F), "text: no control character reaches the console");
    }
    Check(Utf8Of(text.latin1) == utf8, "text: the bytes sent are the characters typed");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::span<const std::uint8_t> input(data + 1, size - 1);
    switch (data[0] % 3) {
    case 0:
        Alarm(input);
        break;
    case 1:
        Calibration(input);
        break;
    default:
        Text(input);
        break;
    }
    return 0;
}
