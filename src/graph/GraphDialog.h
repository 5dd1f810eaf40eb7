#pragma once

#include "graph/GraphBuild.h"
#include "graph/GraphTime.h"
#include "graph/HistoryCurves.h"
#include "messages/Messages.h"

#include <QDialog>

#include <memory>

namespace Ui {
class GraphDialog;
}

namespace vorelle {

class GraphView;
class HistoryStore;
class RecordDatabase;

// What the opener tells the graph about the recording in the store: its
// kind, which decides the quantities offered, and the units its header
// names, shown as the left axis's title.
struct GraphOptions {
    RecordingLayout layout = RecordingLayout::Main;
    UnitLabels labels;
};

// "Graph": draws a quantity of the stored recording over a time range. The
// four pickers give the range (start excluded, end included), "Select"
// draws it, "Canal" closes. The chart's context menu shows the whole
// recording or saves the picture.
//
// "History" is the same dialog over the lasting history: its list offers
// what every recording kind it holds can draw (HistoryEntries), quick spans
// choose the last day, week, month or year or all of it, and the chart reads
// each view's curves from the history, at the level its width needs.
class GraphDialog final : public QDialog {
    Q_OBJECT

public:
    // `store` is open and outlives the dialog; its failures are shown through
    // `messages`.
    GraphDialog(RecordDatabase& store, Messages& messages, QWidget* parent = nullptr);
    // "History" over `history`, which is open and outlives the dialog.
    GraphDialog(HistoryStore& history, Messages& messages, QWidget* parent = nullptr);
    ~GraphDialog() override;

    // Prepares the dialog for `options` (the last hour, the recording's
    // quantities) and runs it modally.
    void Run(const GraphOptions& options);
    // The same preparation without running, for a dialog shown otherwise.
    void Prepare(const GraphOptions& options);
    // "History": offers what the history holds and draws its first entry's
    // last week, or says that it holds nothing; then runs modally.
    void RunHistory();
    void PrepareHistory();

    // "Select": reads the pickers and the quantity and draws them.
    BuildResult Select();
    // "Whole recording": the pickers from the first to the last stored
    // reading, then "Select". False when the store holds none. Over the
    // history: SelectSpan(HistorySpan::All).
    bool SelectWholeRecording();
    // A quick span of the history's readings of the chosen entry's kind, in
    // the pickers, then "Select". False when it holds none or the build failed.
    bool SelectSpan(HistorySpan span);
    // Saves the chart as a PNG; false (and a message) when it cannot.
    bool SavePicture(const QString& file);

    void SetRange(const TimeRange& range);
    TimeRange Range() const;
    // Chooses a list entry by its text; false when the list has none such.
    bool ChooseQuantity(GraphQuantity quantity);
    GraphView& Chart() const;

protected:
    // Esc first returns a zoomed chart to the selected range, then closes.
    void keyPressEvent(QKeyEvent* event) override;

private:
    GraphDialog(RecordDatabase* store, HistoryStore* history, Messages& messages, QWidget* parent);
    BuildResult SelectFromHistory(const TimeRange& range);
    void ShowChartMenu(const QPoint& at);
    void AskAndSavePicture();

    // One of the two is set: the stored recording, or the history.
    RecordDatabase* store_;
    HistoryStore* history_;
    Messages& messages_;
    GraphOptions options_;
    // A failed read of the history is told once per "Select".
    bool readFailed_ = false;
    std::unique_ptr<Ui::GraphDialog> ui_;
};

}  // namespace vorelle
