#include "cli/Hex2BinCommand.h"

#include "cli/CommandLine.h"
#include "firmware/FirmwareImage.h"
#include "firmware/HexImage.h"

#include <cinttypes>
#include <cstdio>
#include <filesystem>

namespace vorelle {

namespace {

int RunHex2Bin(const CommandCall& call)
{
    const std::vector<std::string>& paths = call.Words();
    if (paths.size() != 2)
        return call.WrongLine("expected an input and an output file");

    const std::filesystem::path input(paths[0]);
    const std::filesystem::path output(paths[1]);
    const HexFileResult result = ConvertHexFile(input, output);
    const std::string_view meaning = DescribeHexResult(result.code);
    if (result.code == kHexFileError) {
        // Name the one file at fault, so the owner knows which to look at.
        const bool outputAtFault = result.faulty == HexFaultyFile::Output;
        std::fprintf(stderr, "vorelle2-cli hex2bin: %s: %s (code %d)\n", paths[outputAtFault ? 1 : 0].c_str(),
                     outputAtFault ? "cannot create or write this output file (it must not be the input file)"
                                   : "cannot open or read this input file",
                     result.code);
        return result.code;
    }
    if (result.code != kHexImageWritten) {
        std::fprintf(stderr, "vorelle2-cli hex2bin: %s: %.*s (code %d)\n", paths[0].c_str(),
                     static_cast<int>(meaning.size()), meaning.data(), result.code);
        return result.code;
    }
    const std::uint64_t last = result.start + result.length - 1;
    std::printf("%.*s: %s, %" PRIu64 " bytes, addresses 0x%08" PRIX32 "-0x%08" PRIX64 "\n",
                static_cast<int>(meaning.size()), meaning.data(), paths[1].c_str(), result.length, result.start,
                last);
    // The image is written all the same; the owner learns before an update
    // what the firmware command would refuse.
    const std::string unusable = UnusableFirmwareReason(result);
    if (!unusable.empty())
        std::fprintf(stderr, "vorelle2-cli hex2bin: warning: %s is no firmware for the console: %s\n",
                     paths[0].c_str(), unusable.c_str());
    return result.code;
}

}  // namespace

// The exit status is the converter's result code, not one of the shared ones.
const CliCommand kHex2BinCommand = {
    "hex2bin",
    "[--] IN OUT",
    "check a firmware file and convert it to a memory image",
    "Checks the Intel HEX firmware file IN and writes its memory image to OUT:\n"
    "the bytes from the lowest to the highest address its data records cover,\n"
    "with no header. Bytes no record covers are 0xFF. Lines must end in CR LF\n"
    "(the last one may lack it); a later record overwrites an earlier one.\n"
    "After a failure OUT is left empty (or untouched when IN cannot be opened).\n"
    "A file the firmware command would refuse is converted with a warning.",
    {},
    "The exit status is the converter's result code.",
    {
        {0, "image written"},
        {1, "empty file, a line without ':' at its start, or no data record"},
        {2, "record type above 05, or data outside the image (past 0xFFFFFFFF\nor spanning more than 16 MiB)"},
        {3, "IN cannot be opened or read, or OUT cannot be created or written\n(also when OUT is IN itself)"},
        {4, "no memory for the input (files over 256 MiB are refused)"},
        {5, "a checksum does not match"},
        {8, "a malformed line: not a hex digit, or a wrong length"},
    },
    RunHex2Bin,
};

}  // namespace vorelle
