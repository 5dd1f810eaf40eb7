// Fuzz entry point for what the console sends about its recordings: a
// listing entry, the name it carries and the file bytes that join a local
// copy. Built with libFuzzer as recording_card_fuzzer, and without it, under
// ReplayMain, as the corpus replay that ctest runs.
#include "recordings/LocalCopy.h"
#include "recordings/RecordingEntry.h"
#include "recordings/RecordingNames.h"
#include "recordings/RecordingReports.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "recordings fuzzer: invariant broken: %s\n", what);
    std::abort();
}

void Check(bool condition, const char* what)
{
    if (!condition)
        Fail(what);
}

// Whether `name` is the bytes `report` holds from `at` on.
bool NameAt(const vorelle::Report& report, std::size_t at, const std::string& name)
{
    return std::equal(name.begin(), name.end(), report.begin() + static_cast<std::ptrdiff_t>(at),
                      [](char c, std::uint8_t byte) { return static_cast<std::uint8_t>(c) == byte; });
}

void CheckEntry(const vorelle::Report& report)
{
    using namespace vorelle;
    const std::optional<RecordingEntry> entry = ParseFileEntry(report);
    const std::size_t length = report[6];
    Check(entry.has_value() == (length > 0 && length <= kMaxListedNameLength), "an entry exactly when its name fits");
    if (!entry)
        return;
    Check(entry->name.size() == length && NameAt(report, 7, entry->name), "the name's bytes as sent");
    Check(entry->size == ((std::uint32_t{report[2]} << 24) | (report[3] << 16) | (report[4] << 8) | report[5]),
          "the size big-endian");

    const std::filesystem::path folder = "/data/Vorelle2";
    const std::optional<std::filesystem::path> copy = LocalCopyPath(folder, entry->name);
    const ExportNameCheck check = CheckExportName(entry->name);
    Check(copy.has_value() == IsSafeLocalName(entry->name), "a path only for a safe name");
    Check((check == ExportNameCheck::NotAFileName) != IsSafeLocalName(entry->name), "unsafe names are not exported");
    Check((check == ExportNameCheck::Fits) == (copy && entry->name.size() <= kMaxRequestNameLength),
          "exported names fit the request");
    if (copy) {
        Check(copy->parent_path() == folder && copy->filename() != "." && copy->filename() != "..",
              "a local copy lies in the data folder");
        Check(copy->filename().string() == NameText(entry->name), "the copy is named as the list shows it");
    }
    if (check == ExportNameCheck::Fits) {
        const Report request = MakeFileRequest(*entry, 0);
        Check(request[10] == length && request[1] == 11 + length, "the request's lengths");
        Check(NameAt(request, 11, entry->name), "the name goes back as sent");
    }
}

void CheckLineEnds(const std::uint8_t* data, std::size_t size)
{
    const std::string arrived(reinterpret_cast<const char*>(data), size);
    std::string copy;
    vorelle::AppendWithCrLf(copy, arrived);
    const auto lineFeeds = std::count(arrived.begin(), arrived.end(), '\n');
    Check(std::count(copy.begin(), copy.end(), '\n') == lineFeeds, "no line end added or lost");
    Check(copy.size() == arrived.size() + static_cast<std::size_t>(lineFeeds), "one CR per LF, nothing else");
    // Taking away the CR before every LF gives back exactly what arrived.
    std::string back;
    for (std::size_t i = 0; i < copy.size(); ++i)
        if (!(copy[i] == '\r' && i + 1 < copy.size() && copy[i + 1] == '\n'))
            back += copy[i];
    Check(back == arrived, "the bytes that arrived, in order");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    vorelle::Report report{};
    std::copy_n(data, std::min(size, report.size()), report.begin());
    CheckEntry(report);
    CheckLineEnds(data, size);
    return 0;
}
