#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <system_error>

namespace vorelle {

// The local copy of a card file keeps the console's bytes with every line
// end the console wrote as LF turned into CR LF. It grows only by what
// arrived, exactly: no line end is added, nothing is cut at a NUL byte.

// Appends `bytes` to `out`, each LF as CR LF; nothing else changes.
void AppendWithCrLf(std::string& out, std::span<const char> bytes);

// How many bytes of the card file the local copy holds: its size less one
// for every LF, because every LF stands behind a CR that the copy added.
// Copies written by earlier versions, which ended every line in CR LF,
// count the same way. HeldBytesOf counts a copy's text (or a part of it);
// CountHeldBytes counts the file, setting `held`, or returns why the copy
// cannot be read.
std::uint64_t HeldBytesOf(std::string_view copyText);
std::error_code CountHeldBytes(const std::filesystem::path& copy, std::uint64_t& held);

// Appends everything `received` holds from its current position to the copy
// (AppendWithCrLf). When anything fails the copy is cut back to the length
// it had, and the reason is returned.
std::error_code AppendToLocalCopy(std::FILE* received, const std::filesystem::path& copy);

}  // namespace vorelle
