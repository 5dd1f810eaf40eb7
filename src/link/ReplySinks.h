#pragma once

#include "link/HidTransport.h"

#include <cstddef>
#include <cstdint>

namespace vorelle {

// The owners of the replies that do not go into a ReplyArea slot. The router
// calls them on the read thread, one report at a time.

class RecordingReplySink {
public:
    virtual ~RecordingReplySink() = default;
    // One report of the file listing that names a file (byte 6 non-zero).
    virtual void OnFileListEntry(const Report& report) = 0;
    // Data bytes of one file packet. Returns true when the exchange is to end
    // with this packet.
    virtual bool OnFileData(const std::uint8_t* data, std::size_t count) = 0;
    // The packet with fewer than 60 data bytes has arrived, after its data
    // went to OnFileData. Returns true when that ends the exchange; false
    // while the sink sees a stream it no longer wants out to its end.
    virtual bool OnFileDataEnd() = 0;
    virtual void OnDeleteResult(std::uint8_t result) = 0;
};

class FirmwareReplySink {
public:
    virtual ~FirmwareReplySink() = default;
    // The reply report as received, `count` bytes (64 for a full report).
    virtual void OnVersionReply(const std::uint8_t* report, std::size_t count) = 0;
    virtual void OnEraseReply(const std::uint8_t* report, std::size_t count) = 0;
    // `wordAddress` is the block address the reply echoes.
    virtual void OnReadBack(std::uint32_t wordAddress, const std::uint8_t* data, std::size_t count) = 0;
};

}  // namespace vorelle
