// Fuzz entry point for a whole recording import into a store in memory. The
// first byte chooses the recording's name (and with it the layout) and the
// desktop's date order; the rest is the recording's text. Built with
// libFuzzer as recording_import_fuzzer, and without it, under ReplayMain, as
// the corpus replay that ctest runs.
#include "FuzzCheck.h"
#include "messages/Messages.h"
#include "recordings/RecordingImport.h"
#include "recordings/RecordingLine.h"
#include "recordings/RecordingReadings.h"
#include "store/RecordDatabase.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using vorelle::fuzz::Check;
using vorelle::fuzz::Fail;


// A store in memory cannot fail; any message is a fault.
class NoMessages final : public vorelle::Messages {
public:
    vorelle::MessageAnswer Show(const vorelle::Message& message) override
    {
        std::fprintf(stderr, "recording import fuzzer: %s\n", message.text.c_str());
        Fail("no message from an import into memory");
    }
};

constexpr vorelle::CivilTime kFirst{1900, 1, 1, 0, 0, 0};
constexpr vorelle::CivilTime kLast{9999, 12, 31, 23, 59, 59};

// Rows stored after the first second there is, which no range can include.
std::uint64_t RowsInWholeRange(vorelle::RecordDatabase& store)
{
    const vorelle::StoreResult<std::uint64_t> count = store.QueryCount("No", kFirst, kLast);
    Check(count.Ok(), "count query");
    return count.Value();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace vorelle;
    if (size == 0)
        return 0;
    static constexpr const char* kNames[] = {"20240101.csv", "20240101CH1.csv", "20240101SM1.csv", "CHSM.csv"};
    const std::string name = kNames[data[0] % 4];
    const DateOrder order = data[0] & 4 ? DateOrder::MonthDayYear : DateOrder::DayMonthYear;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

    NoMessages messages;
    StoreResult<RecordDatabase> opened = RecordDatabase::OpenInMemory();
    Check(opened.Ok(), "a store in memory");
    RecordDatabase& store = opened.Value();
    const ImportResult first = ImportRecordingText(text, name, order, store, messages);
    Check(first.status == ImportStatus::Imported, "imported");
    const ImportSummary& summary = first.summary;
    const RecordingContent& content = first.content;
    Check(summary.linesRead == summary.rowsStored + summary.linesRefused, "every line read is stored or refused");
    Check(content.RowCount() == summary.linesRead, "every line read is shown");
    // A last line that is more than a carriage return and has no line feed
    // after it is held back, and no other.
    const std::string_view body = std::string_view(content.Text()).substr(content.BodyStart());
    const std::size_t lastFeed = body.rfind('\n');
    const std::string_view last = lastFeed == std::string_view::npos ? body : body.substr(lastFeed + 1);
    Check(summary.linesHeldBack == (last.size() > (last.ends_with('\r') ? 1u : 0u) ? 1u : 0u),
          "only an unended last line is held back");
    Check(content.ColumnCount() >= 1 && content.ColumnCount() <= kMaxRecordingColumns, "columns of the header");

    std::uint64_t onFirstSecond = 0;
    for (std::size_t row = 0; row < content.RowCount(); ++row) {
        for (std::size_t column = 0; column <= content.ColumnCount(); ++column) {
            const std::string_view cell = content.Cell(row, column);
            Check(cell.find(',') == std::string_view::npos && cell.find('\n') == std::string_view::npos,
                  "a cell is one field");
            Check(column < content.ColumnCount() || cell.empty(), "nothing past the header's columns");
        }
        const auto time = ParseRecordTime(content.Cell(row, 0), order);
        if (time && *time == CivilTime{1900, 1, 1, 0, 0, 0})
            ++onFirstSecond;
    }
    Check(RowsInWholeRange(store) == summary.rowsStored - onFirstSecond, "the store holds the rows stored");

    // The rows of a range come in time order.
    const StoreResult<std::vector<StorePoint>> rows = store.QueryRange("No", kFirst, kLast);
    Check(rows.Ok(), "range query");
    Check(rows.Value().size() == summary.rowsStored - onFirstSecond, "the range holds the rows stored");
    for (std::size_t i = 1; i < rows.Value().size(); ++i)
        Check(rows.Value()[i - 1].seconds <= rows.Value()[i].seconds, "rows in time order");

    // The history reads the same lines: a reading for every row stored, and
    // merged twice, every one is added, then found the same.
    const RecordingReadings read = ReadRecordingReadings(text, name, order);
    Check(read.lines.linesRead == summary.linesRead && read.lines.linesRefused == summary.linesRefused &&
              read.lines.linesHeldBack == summary.linesHeldBack,
          "the history reads the lines the import reads");
    Check(read.readings.size() == summary.rowsStored, "a reading for every row stored");
    StoreResult<HistoryStore> history = HistoryStore::Open(":memory:");
    Check(history.Ok(), "a history in memory");
    const RecordingLayout kind = LayoutForRecording(name);
    const StoreResult<MergeCounts> added = history.Value().Merge(kind, read.readings);
    const StoreResult<MergeCounts> again = history.Value().Merge(kind, read.readings);
    Check(added.Ok() && added.Value() == MergeCounts{read.readings.size(), 0, 0}, "every reading added");
    Check(again.Ok() && again.Value() == MergeCounts{0, 0, read.readings.size()}, "and then found the same");

    // The same text again replaces the rows, it does not add to them.
    const ImportResult second = ImportRecordingText(text, name, order, store, messages);
    Check(second.status == ImportStatus::Imported && second.summary.rowsStored == summary.rowsStored,
          "the same import twice");
    Check(RowsInWholeRange(store) == summary.rowsStored - onFirstSecond, "the store holds the rows once");
    return 0;
}
