#include "app/PlotCommand.h"

#include "app/Application.h"
#include "graph/GraphPicture.h"
#include "graph/GraphQuantity.h"
#include "graph/GraphTime.h"
#include "graph/HistoryCurves.h"
#include "store/DataFolder.h"
#include "store/DesktopDateOrder.h"
#include "store/RecordDatabase.h"
#include "store/StoredRecording.h"
#include "widgets/QtText.h"

#include <QRegularExpression>
#include <QSaveFile>
#include <QStringList>

#include <algorithm>
#include <cstdio>

namespace vorelle {

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitWrongRequest = 2;
constexpr int kLargestSide = 16384;

class StandardErrorMessages final : public Messages {
public:
    MessageAnswer Show(const Message& message) override
    {
        std::fprintf(stderr, "vorelle2: %s\n", message.text.c_str());
        return MessageAnswer::Ok;
    }
};

QString Names(const std::vector<GraphQuantity>& quantities)
{
    QStringList names;
    for (const GraphQuantity quantity : quantities)
        names << ToQString(QuantityName(quantity));
    return names.join(QStringLiteral(", "));
}

// Read as the import reads a recording's times, in the desktop's order.
std::optional<CivilTime> TimeOf(const QString& text, DateOrder order)
{
    const std::optional<CivilTime> time = ParseRecordTime(text.toStdString(), order);
    if (!time)
        std::fprintf(stderr, "vorelle2: %s\n", UnreadableTimeText(text.toStdString()).c_str());
    return time;
}

std::optional<QSize> SizeOf(const QString& text)
{
    if (text.isEmpty())
        return kGraphChartSize;
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("^(\\d{1,5})x(\\d{1,5})$")).match(text);
    const int width = match.hasMatch() ? match.captured(1).toInt() : 0;
    const int height = match.hasMatch() ? match.captured(2).toInt() : 0;
    if (width < 1 || height < 1 || width > kLargestSide || height > kLargestSide) {
        std::fprintf(stderr, "vorelle2: '%s' is not a size; write it as WIDTHxHEIGHT, each 1 to %d pixels\n",
                     qPrintable(text), kLargestSide);
        return std::nullopt;
    }
    return QSize(width, height);
}

// Written whole or not at all: a failed run leaves no half picture.
int SavePicture(const QImage& picture, const QString& png)
{
    QSaveFile file(png);
    if (!file.open(QIODevice::WriteOnly) || !picture.save(&file, "PNG") || !file.commit()) {
        std::fprintf(stderr, "vorelle2: cannot write %s: %s\n", qPrintable(png), qPrintable(file.errorString()));
        return kExitFailed;
    }
    return 0;
}

int PlotStoredRecording(GraphQuantity quantity, const TimeRange& range, QSize size, const QString& png,
                        Messages& messages)
{
    StoreResult<RecordDatabase> store = RecordDatabase::Open(WorkingDataFolder() / kRecordStoreFile);
    StoreResult<StoredRecording> recording = store ? StoredRecordingOf(store.Value()) : store.TakeError();
    if (!recording) {
        messages.Inform(recording.Error());
        return kExitFailed;
    }
    const RecordingLayout layout = recording->Layout();
    const std::vector<GraphQuantity> offered = QuantitiesFor(layout);
    if (std::find(offered.begin(), offered.end(), quantity) == offered.end()) {
        std::fprintf(stderr, "vorelle2: the stored recording has no '%s'; it has: %s\n",
                     std::string(QuantityName(quantity)).c_str(), qPrintable(Names(offered)));
        return kExitWrongRequest;
    }
    GraphData data;
    switch (BuildGraph(store.Value(), messages, {quantity, layout, recording->labels, range.start, range.end}, data)) {
    case BuildResult::Built: break;
    case BuildResult::TimeError: return kExitWrongRequest;
    case BuildResult::QueryFailed: return kExitFailed;
    }
    return SavePicture(DrawGraphPicture(std::move(data), size), png);
}

int PlotHistory(const HistoryEntry& entry, const TimeRange& range, QSize size, const QString& png,
                Messages& messages)
{
    StoreResult<HistoryStore> history = HistoryStore::Open(WorkingDataFolder() / kHistoryFile);
    if (!history) {
        messages.Inform(history.Error());
        return kExitFailed;
    }
    GraphData data;
    switch (BuildHistoryGraph(history.Value(), messages, entry, range, data)) {
    case BuildResult::Built: break;
    case BuildResult::TimeError: return kExitWrongRequest;
    case BuildResult::QueryFailed: return kExitFailed;
    }
    // The chart reads what its plot's width needs, once it is laid out.
    bool readFailed = false;
    const GraphPlan plan = data.plan;
    const QImage picture =
        DrawGraphPicture(std::move(data), size, [&](ValueRange span, int width, GraphCurves& curves) {
            const StoreStatus read = ReadHistoryCurves(history.Value(), entry.kind, plan, span, width, curves);
            if (!read && !readFailed)
                messages.Inform(read.Error());
            readFailed = readFailed || !read;
        });
    return readFailed ? kExitFailed : SavePicture(picture, png);
}

}  // namespace

int RunPlot(const PlotRequest& request)
{
    const std::string name = request.quantity.toStdString();
    const std::optional<GraphQuantity> quantity = QuantityNamed(name);
    const std::optional<HistoryEntry> entry = HistoryEntryNamed(name);
    if (request.history ? !entry : !quantity) {
        QString names = Names(QuantitiesFor(RecordingLayout::Main)) + QStringLiteral(", Soil moisture");
        if (request.history) {
            QStringList all;
            for (const HistoryEntry& each : HistoryEntries())
                all << ToQString(each.name);
            names = all.join(QStringLiteral(", "));
        }
        std::fprintf(stderr, "vorelle2: unknown quantity '%s'; one of: %s\n", qPrintable(request.quantity),
                     qPrintable(names));
        return kExitWrongRequest;
    }
    if (request.from.isEmpty() || request.to.isEmpty() || request.png.isEmpty()) {
        std::fprintf(stderr, "vorelle2: --plot needs --from, --to and --png\n");
        return kExitWrongRequest;
    }
    const DateOrder order = DesktopDateOrder();
    const std::optional<CivilTime> from = TimeOf(request.from, order);
    const std::optional<CivilTime> to = TimeOf(request.to, order);
    const std::optional<QSize> size = SizeOf(request.size);
    if (!from || !to || !size)
        return kExitWrongRequest;

    StandardErrorMessages messages;
    // The folder is made ready as the program makes it ready at start.
    PrepareDataFolder(Application::ShippedFolder(), WorkingDataFolder());
    return request.history ? PlotHistory(*entry, {*from, *to}, *size, request.png, messages)
                           : PlotStoredRecording(*quantity, {*from, *to}, *size, request.png, messages);
}

}  // namespace vorelle
