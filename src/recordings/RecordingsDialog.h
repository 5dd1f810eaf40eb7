#pragma once

#include "link/ConsoleLink.h"
#include "messages/Messages.h"
#include "recordings/RecordingCard.h"
#include "recordings/RecordingEntry.h"
#include "recordings/RecordingExport.h"
#include "store/StoredRecording.h"
#include "widgets/WorkerJob.h"

#include <QDialog>

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace Ui {
class RecordingsDialog;
}

namespace vorelle {

class RecordingContentModel;

// SDCard File: the recording files on the console's SD card. Export fetches
// the chosen file into its local copy and imports that into the record
// store, whose readings the content list then shows; Graph hands the
// recording the store holds (as the store notes it, imported in this run or
// an earlier one) to the graph; Delete deletes the file on the card and its
// local copy; Folder opens the data folder. Built once and reused, so the
// content stays from one opening to the next.
//
// The listing, Export and Delete run on a worker thread, one at a time;
// while one runs its buttons are disabled and the dialog cannot be closed,
// so whoever runs it (and pauses the poll meanwhile) gets it back only once
// the console is free.
class RecordingsDialog final : public QDialog {
    Q_OBJECT

public:
    using GraphOpener = std::function<void(const StoredRecording&)>;

    // Reads the desktop's date order from the locale: build it before other
    // threads of the program start.
    RecordingsDialog(ConsoleLink& link, Messages& messages, std::filesystem::path dataFolder,
                     QWidget* parent = nullptr);
    ~RecordingsDialog() override;

    // Graph calls `open`; without one Graph stays disabled.
    void SetGraphOpener(GraphOpener open);

    // Lists the card and runs the dialog modally.
    int Run();

    // True while the card is being listed, or a file exported or deleted.
    bool Busy() const { return job_ != Job::None; }

    // Esc and closing the window: ignored while the worker runs.
    void reject() override;

private:
    enum class Job { None, Listing, Exporting, Deleting };
    using Then = WorkerJob::Then;

    void StartJob(Job job, WorkerJob::Work work);
    void SetJob(Job job);
    void ShowAll(const std::vector<Message>& said);

    void StartListing();
    void ShowFiles(std::vector<RecordingEntry> files);
    void OnChoiceChanged();

    void OnExport();
    void ResetProgress();
    void OnExportProgress(const ExportProgress& progress);
    void ShowExportProgress();
    void OnExported(ExportOutcome& outcome, const RecordingEntry& file);

    void OnGraph();
    void OnDelete();
    void OnDeleted(const DeleteOutcome& outcome, const RecordingEntry& file);
    void OnFolder();

    Messages& messages_;
    const std::filesystem::path dataFolder_;
    // The desktop's order of day and month, for dates written year last.
    const DateOrder dateOrder_;
    std::unique_ptr<Ui::RecordingsDialog> ui_;
    RecordingContentModel* content_ = nullptr;
    GraphOpener openGraph_;

    // The listed files in the order of the file list's rows.
    std::vector<RecordingEntry> files_;
    // The chosen file, its name's bytes as the console sent them.
    std::optional<RecordingEntry> chosen_;
    Job job_ = Job::None;

    // The latest progress of an Export; the UI thread shows it once however
    // often it changed in between.
    std::atomic<ExportProgress::Step> progressStep_{ExportProgress::Step::Fetching};
    std::atomic<std::uint64_t> progressDone_{0};
    std::atomic<std::uint64_t> progressTotal_{0};
    std::atomic<bool> progressPending_{false};

    RecordingCard card_;
    // Last, so that a running job ends before anything it uses goes. A job
    // still running when the program ends is stopped where it stands; the
    // store and the local copy are then unchanged.
    WorkerJob worker_{*this};
};

}  // namespace vorelle
