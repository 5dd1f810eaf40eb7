#include "recordings/RecordingsDialog.h"

#include "messages/CollectedMessages.h"
#include "recordings/RecordingContentModel.h"
#include "recordings/RecordingMessages.h"
#include "store/DataFolder.h"
#include "store/DesktopDateOrder.h"
#include "store/RecordDatabase.h"
#include "ui_RecordingsDialog.h"
#include "widgets/DialogFilling.h"
#include "widgets/QtText.h"

#include <QDesktopServices>
#include <QHeaderView>
#include <QUrl>

#include <algorithm>

namespace vorelle {

namespace {

constexpr std::string_view kSelectFileText = "Please select a file";
constexpr std::string_view kDeleteQuestion = "Are you sure to delete the file?";

// The file list's columns, and the content list's width of every column.
constexpr int kNameColumnWidth = 130;
constexpr int kSizeColumnWidth = 70;
constexpr int kContentColumnWidth = 150;
// The bar counts in these steps, whatever the size: a card file may hold
// more bytes than the bar's range.
constexpr int kBarSteps = 1000;

QString Bytes(std::uint64_t count) { return QString::number(count); }

}  // namespace

RecordingsDialog::RecordingsDialog(ConsoleLink& link, Messages& messages, std::filesystem::path dataFolder,
                                   QWidget* parent)
    : QDialog(parent),
      messages_(messages),
      dataFolder_(std::move(dataFolder)),
      // Read once, before any thread of the program could read the locale
      // while it is set.
      dateOrder_(DesktopDateOrder()),
      ui_(std::make_unique<Ui::RecordingsDialog>()),
      card_(link, dataFolder_)
{
    ui_->setupUi(this);
    setFixedSize(size());

    QTreeWidget& files = *ui_->fileList;
    files.setColumnWidth(0, kNameColumnWidth);
    files.setColumnWidth(1, kSizeColumnWidth);
    files.headerItem()->setTextAlignment(0, Qt::AlignCenter);
    files.headerItem()->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    files.header()->setSectionsMovable(true);
    files.setSelectionMode(QAbstractItemView::SingleSelection);

    content_ = new RecordingContentModel(this);
    QTableView& rows = *ui_->contentList;
    rows.setModel(content_);
    // Every row the same height, set once: the view then never measures
    // rows, however many there are.
    rows.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    rows.verticalHeader()->setDefaultSectionSize(rows.fontMetrics().height() + 4);
    rows.horizontalHeader()->setDefaultSectionSize(kContentColumnWidth);
    rows.horizontalHeader()->setSectionsMovable(true);

    ui_->progress->setRange(0, kBarSteps);
    ui_->progress->setFormat(QString());

    connect(&files, &QTreeWidget::itemSelectionChanged, this, &RecordingsDialog::OnChoiceChanged);
    connect(ui_->exportButton, &QPushButton::clicked, this, &RecordingsDialog::OnExport);
    connect(ui_->graphButton, &QPushButton::clicked, this, &RecordingsDialog::OnGraph);
    connect(ui_->deleteButton, &QPushButton::clicked, this, &RecordingsDialog::OnDelete);
    connect(ui_->folderButton, &QPushButton::clicked, this, &RecordingsDialog::OnFolder);
    SetJob(Job::None);
}

RecordingsDialog::~RecordingsDialog() = default;

void RecordingsDialog::SetGraphOpener(GraphOpener open)
{
    openGraph_ = std::move(open);
    SetJob(job_);
}

int RecordingsDialog::Run()
{
    files_.clear();
    chosen_.reset();
    ui_->fileList->clear();
    ui_->chosenName->clear();
    ui_->chosenSize->clear();
    ResetProgress();
    StartListing();
    return exec();
}

void RecordingsDialog::reject()
{
    // Under a running job the console is busy with this dialog's command,
    // and the poll that resumes when it closes would talk across it.
    if (Busy())
        return;
    QDialog::reject();
}

void RecordingsDialog::SetJob(Job job)
{
    job_ = job;
    const bool idle = job == Job::None;
    ui_->exportButton->setEnabled(idle);
    ui_->deleteButton->setEnabled(idle);
    ui_->graphButton->setEnabled(idle && openGraph_ != nullptr);
    setProperty(kDialogFillingProperty, job == Job::Listing);
}

void RecordingsDialog::StartJob(Job job, WorkerJob::Work work)
{
    // Disabled before the work starts, so no click can start a second job.
    SetJob(job);
    worker_.Start([this, work = std::move(work)](std::stop_token stop) -> Then {
        Then then = work(stop);
        return [this, then = std::move(then)] {
            SetJob(Job::None);
            then();
        };
    });
}

void RecordingsDialog::ShowAll(const std::vector<Message>& said)
{
    for (const Message& message : said)
        messages_.Show(message);
}

void RecordingsDialog::StartListing()
{
    ui_->chosenSize->setText(ToQString(kReadingText));
    StartJob(Job::Listing, [this](std::stop_token) -> Then {
        auto listing = std::make_shared<ListingOutcome>(card_.List());
        return [this, listing] {
            ui_->chosenSize->clear();
            ShowFiles(std::move(listing->files));
            if (!listing->message.empty())
                messages_.Inform(listing->message);
        };
    });
}

void RecordingsDialog::ShowFiles(std::vector<RecordingEntry> files)
{
    SortNewestFirst(files);
    files_ = std::move(files);
    QTreeWidget& list = *ui_->fileList;
    list.clear();
    for (const RecordingEntry& file : files_) {
        auto* row = new QTreeWidgetItem(&list, {ToQString(NameText(file.name)), ToQString(SizeText(file.size))});
        row->setTextAlignment(0, Qt::AlignCenter);
        row->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    }
}

void RecordingsDialog::OnChoiceChanged()
{
    const QList<QTreeWidgetItem*> selected = ui_->fileList->selectedItems();
    const int row = selected.isEmpty() ? -1 : ui_->fileList->indexOfTopLevelItem(selected.front());
    if (row < 0 || static_cast<std::size_t>(row) >= files_.size()) {
        chosen_.reset();
        ui_->chosenName->clear();
        ui_->chosenSize->clear();
        return;
    }
    chosen_ = files_[static_cast<std::size_t>(row)];
    ui_->chosenName->setText(ToQString(NameText(chosen_->name)));
    ui_->chosenSize->setText(ToQString(SizeText(chosen_->size)));
}

void RecordingsDialog::OnExport()
{
    if (!chosen_) {
        messages_.Inform(std::string(kSelectFileText));
        return;
    }
    const RecordingEntry file = *chosen_;
    const std::filesystem::path store = dataFolder_ / kRecordStoreFile;
    ResetProgress();
    StartJob(Job::Exporting, [this, file, store](std::stop_token stop) -> Then {
        auto said = std::make_shared<CollectedMessages>();
        auto outcome = std::make_shared<ExportOutcome>(ExportRecording(
            card_, file, store, dateOrder_, *said, stop, [this](const ExportProgress& p) { OnExportProgress(p); }));
        return [this, said, outcome, file] {
            OnExported(*outcome, file);
            ShowAll(said->said);
        };
    });
}

void RecordingsDialog::ResetProgress()
{
    ui_->progress->setValue(0);
    ui_->progress->setFormat(QString());
    ui_->progress->setToolTip(QString());
}

void RecordingsDialog::OnExportProgress(const ExportProgress& progress)
{
    progressStep_ = progress.step;
    progressDone_ = progress.done;
    progressTotal_ = progress.total;
    if (!progressPending_.exchange(true))
        QMetaObject::invokeMethod(this, &RecordingsDialog::ShowExportProgress, Qt::QueuedConnection);
}

void RecordingsDialog::ShowExportProgress()
{
    progressPending_ = false;
    if (job_ != Job::Exporting)
        return;
    const std::uint64_t total = progressTotal_;
    const std::uint64_t done = std::min<std::uint64_t>(progressDone_, total);
    ui_->progress->setValue(total ? static_cast<int>(done * kBarSteps / total) : 0);
    const QString counted = Bytes(done) + tr(" of ") + Bytes(total);
    switch (progressStep_.load()) {
    case ExportProgress::Step::Fetching: ui_->progress->setFormat(counted + tr(" bytes")); break;
    case ExportProgress::Step::Importing: ui_->progress->setFormat(tr("Importing ") + counted + tr(" bytes")); break;
    case ExportProgress::Step::Merging:
        ui_->progress->setFormat(tr("Adding to the history ") + counted + tr(" readings"));
        break;
    }
}

void RecordingsDialog::OnExported(ExportOutcome& outcome, const RecordingEntry& file)
{
    if (!outcome.Imported()) {
        // A transfer that ended early left the copy as it was: nothing to show.
        if (!outcome.fetch.ImportsLocalCopy()) {
            ResetProgress();
        }
        return;
    }
    content_->Show(std::make_shared<const RecordingContent>(std::move(outcome.import.content)));
    // What became of the lines, as the command line tells it; the bytes the
    // copy holds of the card file stay at hand in the tool tip.
    const ImportSummary& lines = outcome.import.summary;
    const std::uint64_t held = outcome.fetch.heldBefore + outcome.fetch.fetched;
    ui_->progress->setValue(kBarSteps);
    QString summary = tr("Lines: ") + Bytes(lines.rowsStored) + tr(" stored, ") + Bytes(lines.linesRefused) +
                      tr(" refused, ") + Bytes(lines.linesHeldBack) + tr(" held back");
    if (outcome.history)
        summary += tr("; history: ") + Bytes(outcome.history->counts.added) + tr(" added, ") +
                   Bytes(outcome.history->counts.changed) + tr(" changed");
    ui_->progress->setFormat(summary);
    ui_->progress->setToolTip(Bytes(held) + tr(" of ") + Bytes(file.size) + tr(" bytes"));
}

void RecordingsDialog::OnGraph()
{
    // The store notes the recording it holds, imported in this run or in an
    // earlier one.
    if (!openGraph_)
        return;
    StoreResult<RecordDatabase> store = RecordDatabase::Open(dataFolder_ / kRecordStoreFile);
    StoreResult<StoredRecording> recording = store ? StoredRecordingOf(store.Value()) : store.TakeError();
    if (!recording) {
        messages_.Inform(recording.Error());
        return;
    }
    openGraph_(recording.Value());
}

void RecordingsDialog::OnDelete()
{
    if (!chosen_) {
        messages_.Inform(std::string(kSelectFileText));
        return;
    }
    const Message question{std::string(kDeleteQuestion), {}, MessageButtons::OkCancel, MessageIcon::Warning, true};
    if (messages_.Show(question) != MessageAnswer::Ok)
        return;
    const RecordingEntry file = *chosen_;
    StartJob(Job::Deleting, [this, file](std::stop_token) -> Then {
        auto outcome = std::make_shared<DeleteOutcome>(card_.Delete(file));
        return [this, outcome, file] { OnDeleted(*outcome, file); };
    });
}

void RecordingsDialog::OnDeleted(const DeleteOutcome& outcome, const RecordingEntry& file)
{
    if (outcome.status == DeleteStatus::Failed) {
        messages_.Inform(outcome.message);
        return;
    }
    // The row of the file deleted, wherever the choice has moved since.
    const auto at = std::find(files_.begin(), files_.end(), file);
    if (at != files_.end()) {
        const auto row = static_cast<int>(at - files_.begin());
        files_.erase(at);
        delete ui_->fileList->takeTopLevelItem(row);
    }
    ui_->fileList->clearSelection();
    if (QTreeWidgetItem* first = ui_->fileList->topLevelItem(0))
        first->setSelected(true);
    OnChoiceChanged();

    // The store no longer holds any recording, so neither does the content
    // list nor the graph.
    StoreResult<RecordDatabase> store = RecordDatabase::Open(dataFolder_ / kRecordStoreFile, StoreAccess::Write);
    if (StoreStatus cleared = store ? store->ClearTables() : store.TakeError(); !cleared)
        messages_.Inform(cleared.Error());
    content_->Show(nullptr);
    ResetProgress();
    if (!outcome.message.empty())
        messages_.Inform(outcome.message);
}

void RecordingsDialog::OnFolder()
{
    const QUrl folder = QUrl::fromLocalFile(ToQString(dataFolder_.string()));
    if (!QDesktopServices::openUrl(folder))
        messages_.Inform("The data folder " + dataFolder_.string() + " could not be opened in the file manager.");
}

}  // namespace vorelle
