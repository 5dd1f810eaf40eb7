#include "graph/GraphDialog.h"

#include "graph/GraphView.h"
#include "store/HistoryStore.h"
#include "store/RecordDatabase.h"
#include "ui_GraphDialog.h"
#include "widgets/QtText.h"

#include <QApplication>
#include <QDateTime>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMenu>

namespace vorelle {

namespace {

// The widest range the store's times can take, for "Whole recording".
constexpr CivilTime kEarliest{1900, 1, 1, 0, 0, 0};
constexpr CivilTime kLatest{9999, 12, 31, 23, 59, 59};

CivilTime CivilTimeOfPickers(const QDate& date, const QTime& time)
{
    return {date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second()};
}

CivilTime Now()
{
    const QDateTime now = QDateTime::currentDateTime();
    return CivilTimeOfPickers(now.date(), now.time());
}

}  // namespace

GraphDialog::GraphDialog(RecordDatabase& store, Messages& messages, QWidget* parent)
    : GraphDialog(&store, nullptr, messages, parent)
{
}

GraphDialog::GraphDialog(HistoryStore& history, Messages& messages, QWidget* parent)
    : GraphDialog(nullptr, &history, messages, parent)
{
    setWindowTitle(tr("History"));
    ui_->historyBar->setVisible(true);
    const std::pair<QPushButton*, HistorySpan> spans[] = {
        {ui_->dayButton, HistorySpan::Day},     {ui_->weekButton, HistorySpan::Week},
        {ui_->monthButton, HistorySpan::Month}, {ui_->yearButton, HistorySpan::Year},
        {ui_->allButton, HistorySpan::All},
    };
    for (const auto& [button, span] : spans)
        connect(button, &QPushButton::clicked, this, [this, span = span] { SelectSpan(span); });
}

GraphDialog::GraphDialog(RecordDatabase* store, HistoryStore* history, Messages& messages, QWidget* parent)
    : QDialog(parent), store_(store), history_(history), messages_(messages), ui_(std::make_unique<Ui::GraphDialog>())
{
    ui_->setupUi(this);
    ui_->startDate->setMaximumDate(QDate(kLatest.year, kLatest.month, kLatest.day));
    ui_->endDate->setMaximumDate(QDate(kLatest.year, kLatest.month, kLatest.day));
    connect(ui_->selectButton, &QPushButton::clicked, this, &GraphDialog::Select);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    ui_->chart->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui_->chart, &QWidget::customContextMenuRequested, this, &GraphDialog::ShowChartMenu);
}

GraphDialog::~GraphDialog() = default;

GraphView& GraphDialog::Chart() const { return *ui_->chart; }

void GraphDialog::Prepare(const GraphOptions& options)
{
    options_ = options;
    SetRange(LastHourBefore(Now()));
    ui_->quantity->clear();
    for (const GraphQuantity quantity : QuantitiesFor(options_.layout))
        ui_->quantity->addItem(ToQString(QuantityName(quantity)), static_cast<int>(quantity));
    ui_->quantity->setCurrentIndex(0);
}

void GraphDialog::Run(const GraphOptions& options)
{
    Prepare(options);
    exec();
}

void GraphDialog::PrepareHistory()
{
    ui_->quantity->clear();
    const std::span<const HistoryEntry> entries = HistoryEntries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        StoreResult<std::optional<HeldTimes>> held = history_->Held(entries[i].kind);
        if (!held) {
            messages_.Inform(held.Error());
            break;
        }
        if (held.Value())
            ui_->quantity->addItem(ToQString(entries[i].name), static_cast<int>(i));
    }
    const bool empty = ui_->quantity->count() == 0;
    for (QPushButton* button : {ui_->dayButton, ui_->weekButton, ui_->monthButton, ui_->yearButton, ui_->allButton})
        button->setVisible(!empty);
    ui_->historyNote->setVisible(empty);
    ui_->selectButton->setEnabled(!empty);
    if (empty) {
        SetRange(LastHourBefore(Now()));
        return;
    }
    ui_->quantity->setCurrentIndex(0);
    SelectSpan(HistorySpan::Week);
}

void GraphDialog::RunHistory()
{
    PrepareHistory();
    exec();
}

void GraphDialog::SetRange(const TimeRange& range)
{
    ui_->startDate->setDate(QDate(range.start.year, range.start.month, range.start.day));
    ui_->startTime->setTime(QTime(range.start.hour, range.start.minute, range.start.second));
    ui_->endDate->setDate(QDate(range.end.year, range.end.month, range.end.day));
    ui_->endTime->setTime(QTime(range.end.hour, range.end.minute, range.end.second));
}

TimeRange GraphDialog::Range() const
{
    return {CivilTimeOfPickers(ui_->startDate->date(), ui_->startTime->time()),
            CivilTimeOfPickers(ui_->endDate->date(), ui_->endTime->time())};
}

bool GraphDialog::ChooseQuantity(GraphQuantity quantity)
{
    // The history's list names the main recording's quantities as the
    // Graph dialog's does.
    const int index = ui_->quantity->findText(ToQString(QuantityName(quantity)));
    if (index < 0)
        return false;
    ui_->quantity->setCurrentIndex(index);
    return true;
}

BuildResult GraphDialog::Select()
{
    if (ui_->quantity->currentIndex() < 0)
        return BuildResult::QueryFailed;
    const TimeRange range = Range();
    if (history_)
        return SelectFromHistory(range);
    const GraphRequest request{static_cast<GraphQuantity>(ui_->quantity->currentData().toInt()), options_.layout,
                               options_.labels, range.start, range.end};
    GraphData data;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const BuildResult result = BuildGraph(*store_, messages_, request, data);
    QApplication::restoreOverrideCursor();
    // After "Time Error." the chart keeps what it showed; after a failed
    // query it shows the build with empty curves.
    if (result != BuildResult::TimeError)
        ui_->chart->Show(std::move(data));
    return result;
}

BuildResult GraphDialog::SelectFromHistory(const TimeRange& range)
{
    const HistoryEntry entry = HistoryEntries()[static_cast<std::size_t>(ui_->quantity->currentData().toInt())];
    GraphData data;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const BuildResult result = BuildHistoryGraph(*history_, messages_, entry, range, data);
    if (result != BuildResult::TimeError) {
        // A failed build has told its failure; its chart reads nothing.
        readFailed_ = result == BuildResult::QueryFailed;
        GraphView::CurveReader reader;
        if (result == BuildResult::Built) {
            reader = [this, kind = entry.kind, plan = data.plan](ValueRange span, int width, GraphCurves& curves) {
                const StoreStatus read = ReadHistoryCurves(*history_, kind, plan, span, width, curves);
                if (!read && !readFailed_) {
                    readFailed_ = true;
                    messages_.Inform(read.Error());
                }
            };
        }
        ui_->chart->SetCurveReader(std::move(reader));
        ui_->chart->Show(std::move(data));
    }
    QApplication::restoreOverrideCursor();
    return readFailed_ ? BuildResult::QueryFailed : result;
}

bool GraphDialog::SelectSpan(HistorySpan span)
{
    if (!history_ || ui_->quantity->currentIndex() < 0)
        return false;
    const HistoryEntry entry = HistoryEntries()[static_cast<std::size_t>(ui_->quantity->currentData().toInt())];
    const StoreResult<std::optional<HeldTimes>> held = history_->Held(entry.kind);
    if (!held)
        messages_.Inform(held.Error());
    if (!held || !held.Value())
        return false;
    SetRange(SpanRange(span, *held.Value()));
    return Select() == BuildResult::Built;
}

bool GraphDialog::SelectWholeRecording()
{
    if (history_)
        return SelectSpan(HistorySpan::All);
    const StoreResult<std::optional<ValueExtremes>> times = store_->QueryMaxMin("Time", kEarliest, kLatest);
    if (!times) {
        messages_.Inform(times.Error());
        return false;
    }
    if (!times.Value())
        return false;
    // The range leaves out its start: begin a second earlier, so that the
    // first reading is drawn.
    SetRange({CivilTimeAtSeconds(ChartSeconds(times.Value()->min) - 1.0), CivilTimeOf(times.Value()->max)});
    return Select() == BuildResult::Built;
}

bool GraphDialog::SavePicture(const QString& file)
{
    if (ui_->chart->grab().save(file, "PNG"))
        return true;
    messages_.Show({"Cannot save the picture as " + file.toStdString() + ".", {}, MessageButtons::Ok,
                    MessageIcon::Warning, false});
    return false;
}

void GraphDialog::AskAndSavePicture()
{
    QString file = QFileDialog::getSaveFileName(this, tr("Save picture"), QString(), tr("PNG pictures (*.png)"));
    if (file.isEmpty())
        return;
    if (!file.endsWith(QLatin1String(".png"), Qt::CaseInsensitive))
        file += QLatin1String(".png");
    SavePicture(file);
}

void GraphDialog::ShowChartMenu(const QPoint& at)
{
    QMenu menu(this);
    menu.addAction(history_ ? tr("Whole history") : tr("Whole recording"), this, &GraphDialog::SelectWholeRecording);
    menu.addAction(tr("Save picture..."), this, &GraphDialog::AskAndSavePicture);
    menu.exec(ui_->chart->mapToGlobal(at));
}

void GraphDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && ui_->chart->ResetZoom()) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace vorelle
