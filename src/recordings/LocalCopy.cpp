#include "recordings/LocalCopy.h"

#include "recordings/StdioFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

namespace vorelle {

namespace {

constexpr std::size_t kBlockSize = 1 << 20;

std::error_code LastError() { return {errno != 0 ? errno : EIO, std::generic_category()}; }

// Writes the converted blocks of `received` to `out`; false on the first failure.
bool CopyConverted(std::FILE* received, std::FILE* out)
{
    std::vector<char> block(kBlockSize);
    std::string converted;
    for (;;) {
        const std::size_t got = std::fread(block.data(), 1, block.size(), received);
        if (got == 0)
            return !std::ferror(received);
        converted.clear();
        AppendWithCrLf(converted, {block.data(), got});
        if (std::fwrite(converted.data(), 1, converted.size(), out) != converted.size())
            return false;
    }
}

}  // namespace

void AppendWithCrLf(std::string& out, std::span<const char> bytes)
{
    out.reserve(out.size() + bytes.size() + bytes.size() / 32);
    auto from = bytes.begin();
    for (;;) {
        const auto lineFeed = std::find(from, bytes.end(), '\n');
        out.append(from, lineFeed);
        if (lineFeed == bytes.end())
            return;
        out += "\r\n";
        from = lineFeed + 1;
    }
}

std::uint64_t HeldBytesOf(std::string_view copyText)
{
    std::uint64_t lineFeeds = 0;
    // memchr skips the bytes between line ends far faster than a plain
    // count, which matters for a year's recording.
    const char* at = copyText.data();
    const char* const end = at + copyText.size();
    while (at != end && (at = static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at))))) {
        ++lineFeeds;
        ++at;
    }
    return copyText.size() - lineFeeds;
}

std::error_code CountHeldBytes(const std::filesystem::path& copy, std::uint64_t& held)
{
    errno = 0;
    const StdioFile file(std::fopen(copy.c_str(), "rb"));
    if (!file)
        return LastError();
    std::vector<char> block(kBlockSize);
    std::uint64_t counted = 0;
    while (const std::size_t got = std::fread(block.data(), 1, block.size(), file.get()))
        counted += HeldBytesOf({block.data(), got});
    if (std::ferror(file.get()))
        return LastError();
    held = counted;
    return {};
}

std::error_code AppendToLocalCopy(std::FILE* received, const std::filesystem::path& copy)
{
    std::error_code error;
    const std::uintmax_t before = std::filesystem::file_size(copy, error);
    if (error)
        return error;
    errno = 0;
    std::FILE* out = std::fopen(copy.c_str(), "ab");
    if (!out)
        return LastError();
    std::error_code failure;
    if (!CopyConverted(received, out))
        failure = LastError();
    if (std::fflush(out) != 0 && !failure)
        failure = LastError();
    if (std::fclose(out) != 0 && !failure)
        failure = LastError();
    if (failure) {
        // Whatever part of the new bytes reached the copy goes again, so that
        // the next transfer starts where the copy really ends.
        std::error_code ignored;
        std::filesystem::resize_file(copy, before, ignored);
    }
    return failure;
}

}  // namespace vorelle
