#include "live/LiveExchanges.h"

#include "live/LiveDecoder.h"

namespace vorelle {

UnitCodes UnitCodesOfSettingsBlock(const ReplyArea::Slot& block)
{
    return {block[2], block[3], block[4], block[5], block[6]};
}

bool ReadSettings(ConsoleLink& link, LiveReadings& readings)
{
    if (!link.Connected())
        return false;
    const bool answered = link.Exchange(MakeCommand(CMD_READ_SETTING), CMD_READ_SETTING) == ExchangeResult::Answered;
    readings.SetUnits(UnitCodesOfSettingsBlock(link.Area().CopySlot(ReplyArea::kSettingSlot)));
    return answered;
}

bool ReadLive(ConsoleLink& link, LiveReadings& readings)
{
    const bool answered = link.Exchange(MakeCommand(CMD_READ_LIVE), CMD_READ_LIVE) == ExchangeResult::Answered;
    LiveValues values;
    ResetLiveValues(values);
    const std::vector<std::uint8_t> record = link.Area().LiveRecord();
    const bool channelsPresent = DecodeLive(record, values);
    readings.Publish(values, channelsPresent);
    return answered;
}

}  // namespace vorelle
