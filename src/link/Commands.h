#pragma once

#include "link/HidTransport.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace vorelle {

// No wait, no pause, or no reply expected.
inline constexpr int kNone = -1;
// A command sent without touching PendingReply: a reply awaited before it is
// still routed as it was.
inline constexpr std::uint32_t kReplyUnchanged = 0xFFFFFFFFu;

// One row of the console's command table. Times are in milliseconds.
struct CommandSpec {
    std::uint8_t code;
    std::string_view name;
    std::uint32_t reply;  // the value set in PendingReply, or kReplyUnchanged
    int t1;               // wait for the link before writing
    int pause;            // sleep after writing
    int t2;               // wait for the reply
    bool routed;          // the router completes exchanges of this reply code
    int pauseBefore = kNone;  // sleep before writing
};

// Every command the program sends; the waits and pauses live here and nowhere
// else. Writes that follow the screen check take their T1 from the check.
inline constexpr CommandSpec CMD_READ_LIVE{0x01, "CMD_READ_LIVE", 0x01, 2000, kNone, 2000, true};
inline constexpr CommandSpec CMD_READ_SETTING{0x02, "CMD_READ_SETTING", 0x02, 2000, kNone, 2000, true};
inline constexpr CommandSpec CMD_WRITE_SETTING{0x03, "CMD_WRITE_SETTING", 0x03, kNone, 50, 500, true};
inline constexpr CommandSpec CMD_READ_CALIB{0x04, "CMD_READ_CALIB", 0x04, 2000, kNone, 2000, true};
inline constexpr CommandSpec CMD_WRITE_CALIB{0x05, "CMD_WRITE_CALIB", 0x05, kNone, 50, 500, false};
inline constexpr CommandSpec CMD_READ_ALARM{0x06, "CMD_READ_ALARM", 0x06, 2000, kNone, 2000, true};
inline constexpr CommandSpec CMD_WRITE_ALARM{0x07, "CMD_WRITE_ALARM", 0x07, kNone, 50, 500, false};
inline constexpr CommandSpec CMD_READ_MAXMIN{0x08, "CMD_READ_MAXMIN", 0x08, 2000, kNone, 2000, true};
inline constexpr CommandSpec CMD_WRITE_MAXMIN{0x09, "CMD_WRITE_MAXMIN", 0x09, kNone, 50, 500, true};
inline constexpr CommandSpec CMD_READ_FILE_LIST{0x0A, "CMD_READ_FILE_LIST", 0x0A, 300, kNone, 2000, true};
// The reply wait of a file transfer depends on the file; its owner gives it.
inline constexpr CommandSpec CMD_READ_FILE{0x0B, "CMD_READ_FILE", 0x0B, 500, kNone, kNone, true};
inline constexpr CommandSpec CMD_DELETE_FILE{0x0C, "CMD_DELETE_FILE", 0x0C, 1000, kNone, 300, true};
inline constexpr CommandSpec CMD_WRITE_ITEMS{0x0D, "CMD_WRITE_ITEMS", 0x0D, kNone, 50, 500, true};
inline constexpr CommandSpec CMD_WRITE_GPRS1{0x12, "CMD_WRITE_GPRS1", 0x12, 1000, kNone, 1000, false};
inline constexpr CommandSpec CMD_WRITE_GPRS2{0x14, "CMD_WRITE_GPRS2", 0x14, kNone, kNone, 1000, false};
inline constexpr CommandSpec CMD_READ_SCREEN{0x20, "CMD_READ_SCREEN", 0x20, 1000, 50, 500, true};
inline constexpr CommandSpec CMD_SOFT_VER{0x80, "CMD_SOFT_VER", 0x80, 1000, kNone, 8000, true};
inline constexpr CommandSpec CMD_ERASE_DEVICE{0x82, "CMD_ERASE_DEVICE", 0x82, 5000, kNone, 10000, true};
inline constexpr CommandSpec CMD_WRITE_BLOCK{0x83, "CMD_WRITE_BLOCK", 0, kNone, kNone, kNone, false};
inline constexpr CommandSpec CMD_WRITE_END{0x84, "CMD_WRITE_END", 0, kNone, kNone, kNone, false};
inline constexpr CommandSpec CMD_READ_BLOCK{0x85, "CMD_READ_BLOCK", 0x85, 1000, kNone, 1000, true};
// The console restarts into its bootloader: nothing awaited, the reply code
// left as it was, 1 ms before and 1500 ms after.
inline constexpr CommandSpec CMD_ENTER_BOOT{0x86, "CMD_ENTER_BOOT", kReplyUnchanged, kNone, 1500, kNone, false, 1};
// The bootloader starts the new firmware; nothing awaited, 1000 ms before.
inline constexpr CommandSpec CMD_RUN_APP{0x87, "CMD_RUN_APP", 0, kNone, kNone, kNone, false, 1000};
inline constexpr CommandSpec CMD_RESET{0x88, "CMD_RESET", 0x88, 1000, 50, 1000, false};
inline constexpr CommandSpec CMD_MSG_TEST{0x8A, "CMD_MSG_TEST", 0x8A, 1000, 50, 500, false};
inline constexpr CommandSpec CMD_WRITE_UPLOAD1{0xF2, "CMD_WRITE_UPLOAD1", 0x88, 1000, kNone, 1000, false};
inline constexpr CommandSpec CMD_WRITE_UPLOAD2{0xF4, "CMD_WRITE_UPLOAD2", 0x88, kNone, kNone, 1000, false};
inline constexpr CommandSpec CMD_WRITE_SMS{0xF6, "CMD_WRITE_SMS", 0xF6, kNone, kNone, 1000, false};

inline constexpr CommandSpec kCommandTable[] = {
    CMD_READ_LIVE,     CMD_READ_SETTING,  CMD_WRITE_SETTING, CMD_READ_CALIB,    CMD_WRITE_CALIB,
    CMD_READ_ALARM,    CMD_WRITE_ALARM,   CMD_READ_MAXMIN,   CMD_WRITE_MAXMIN,  CMD_READ_FILE_LIST,
    CMD_READ_FILE,     CMD_DELETE_FILE,   CMD_WRITE_ITEMS,   CMD_WRITE_GPRS1,   CMD_WRITE_GPRS2,
    CMD_READ_SCREEN,   CMD_SOFT_VER,      CMD_ERASE_DEVICE,  CMD_WRITE_BLOCK,   CMD_WRITE_END,
    CMD_READ_BLOCK,    CMD_ENTER_BOOT,    CMD_RUN_APP,       CMD_RESET,         CMD_MSG_TEST,
    CMD_WRITE_UPLOAD1, CMD_WRITE_UPLOAD2, CMD_WRITE_SMS,
};

std::optional<CommandSpec> FindCommand(std::uint8_t code);

// A zero-filled command report with its code in byte 0.
Report MakeCommand(const CommandSpec& entry);

}  // namespace vorelle
