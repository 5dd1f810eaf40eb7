#include "firmware/FirmwareUpdateDialog.h"

#include "firmware/DownloadProgress.h"
#include "firmware/UpdateServer.h"
#include "ui_FirmwareUpdateDialog.h"
#include "widgets/QtText.h"

#include <climits>
#include <cstdio>

namespace vorelle {

namespace {
constexpr int kPercentRange = 100;
}  // namespace

FirmwareUpdateDialog::FirmwareUpdateDialog(ConsoleLink& link, Messages& messages, std::filesystem::path dataFolder,
                                           DownloadLimits limits, QWidget* parent)
    : QDialog(parent),
      link_(link),
      messages_(messages),
      dataFolder_(std::move(dataFolder)),
      ui_(std::make_unique<Ui::FirmwareUpdateDialog>()),
      download_(limits)
{
    ui_->setupUi(this);
    setFixedSize(size());
    connect(ui_->updateButton, &QPushButton::clicked, this, &FirmwareUpdateDialog::OnUpdate);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &FirmwareUpdateDialog::reject);
    connect(&download_, &FirmwareDownload::Progress, this, &FirmwareUpdateDialog::OnDownloadProgress);
    connect(&download_, &FirmwareDownload::Finished, this, &FirmwareUpdateDialog::OnDownloadFinished);
}

FirmwareUpdateDialog::~FirmwareUpdateDialog() = default;

int FirmwareUpdateDialog::Run(bool downloadOnOpen)
{
    files_ = FirmwareFiles::In(dataFolder_);
    files_.Remove();
    ui_->updateFile->clear();
    ui_->status->clear();
    ui_->progress->setRange(0, kPercentRange);
    ui_->progress->setValue(0);
    EnableButtons(true);
    if (downloadOnOpen)
        download_.Start(FirmwareUrl(), ToQString(files_.hex.string()));
    return exec();
}

void FirmwareUpdateDialog::reject()
{
    // The console is in its bootloader until the update ends; leaving now
    // would let polling talk to it.
    if (worker_.Busy())
        return;
    if (download_.Running()) {
        download_.Cancel();
        files_.Remove();
    }
    QDialog::reject();
}

void FirmwareUpdateDialog::EnableButtons(bool enabled)
{
    ui_->updateButton->setEnabled(enabled);
    ui_->cancelButton->setEnabled(enabled);
}

void FirmwareUpdateDialog::OnDownloadProgress(qint64 received, qint64 total)
{
    const std::optional<int> percent = DownloadPercent(received, total);
    // Without a total the bar only shows that something is happening.
    ui_->progress->setRange(0, percent ? kPercentRange : 0);
    ui_->progress->setValue(percent.value_or(0));
    ui_->status->setText(ToQString(DownloadStatusText(received, total)));
}

void FirmwareUpdateDialog::OnDownloadFinished(FirmwareDownload::Outcome outcome, const QString& why)
{
    ui_->progress->setRange(0, kPercentRange);
    if (outcome == FirmwareDownload::Outcome::Cancelled)
        return;
    if (outcome == FirmwareDownload::Outcome::Failed) {
        files_.Remove();
        ui_->progress->setValue(0);
        ui_->status->clear();
        // Said on standard error too, where someone who wants to know why
        // looks; the message box keeps the program's own words.
        std::fprintf(stderr, "vorelle2: the firmware download failed: %s\n", qPrintable(why));
        messages_.Show({"Update", "Download Fail", MessageButtons::Ok, MessageIcon::None, false});
        return;
    }
    const std::string problem = ConvertFirmware(files_.hex, files_.image).problem;
    if (!problem.empty()) {
        files_.Remove();
        ui_->progress->setValue(0);
        ui_->status->clear();
        messages_.Inform("The downloaded firmware cannot be used: " + problem + ".");
        return;
    }
    ui_->progress->setValue(kPercentRange);
    ui_->updateFile->setText(ToQString(files_.hex.string()));
    ui_->status->setText(QStringLiteral("Download Firmware Success."));
}

void FirmwareUpdateDialog::OnUpdate()
{
    if (ui_->updateFile->text().isEmpty()) {
        messages_.Inform("No Update File.");
        return;
    }
    const bool started = worker_.Start([this, files = files_](std::stop_token) -> WorkerJob::Then {
        const UpdateResult result = UpdateFromFiles(link_, files, *this);
        return [this, result] { OnUpdateFinished(result); };
    });
    // Its end arrives queued, after this.
    EnableButtons(!started);
}

void FirmwareUpdateDialog::OnUpdateFinished(const UpdateResult& result)
{
    EnableButtons(true);
    // A console that holds the image took both files with it.
    if (result.Verified())
        ui_->updateFile->clear();
    if (!result.message.empty())
        messages_.Inform(result.retry ? result.message + " Press Update to try again." : result.message);
}

void FirmwareUpdateDialog::OnStatus(const std::string& text)
{
    // The console's texts are Latin-1.
    const QString shown = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    QMetaObject::invokeMethod(this, [this, shown] { ui_->status->setText(shown); }, Qt::QueuedConnection);
}

void FirmwareUpdateDialog::OnProgress(std::uint64_t position, std::uint64_t range)
{
    progressPosition_ = position;
    progressRange_ = range;
    if (!progressPending_.exchange(true))
        QMetaObject::invokeMethod(this, &FirmwareUpdateDialog::ShowUpdateProgress, Qt::QueuedConnection);
}

void FirmwareUpdateDialog::ShowUpdateProgress()
{
    progressPending_ = false;
    // An image is at most 16 MiB, so twice its length fits the bar's range.
    const auto range = static_cast<int>(std::min<std::uint64_t>(progressRange_, INT_MAX));
    ui_->progress->setRange(0, range);
    const std::uint64_t position = std::min<std::uint64_t>(progressPosition_, static_cast<std::uint64_t>(range));
    ui_->progress->setValue(static_cast<int>(position));
}

}  // namespace vorelle
