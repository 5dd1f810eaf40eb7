#pragma once

#include "firmware/FirmwareDownload.h"
#include "firmware/FirmwareUpdate.h"
#include "link/ConsoleLink.h"
#include "messages/Messages.h"
#include "widgets/WorkerJob.h"

#include <QDialog>

#include <atomic>
#include <filesystem>
#include <memory>

namespace Ui {
class FirmwareUpdateDialog;
}

namespace vorelle {

// Update Firmware: downloads the firmware from the update server, checks it,
// and on Update writes it into the console through its bootloader. Built once
// and reused; each opening starts from deleted working files.
class FirmwareUpdateDialog final : public QDialog, private UpdateObserver {
    Q_OBJECT

public:
    FirmwareUpdateDialog(ConsoleLink& link, Messages& messages, std::filesystem::path dataFolder,
                         DownloadLimits limits = {}, QWidget* parent = nullptr);
    ~FirmwareUpdateDialog() override;

    // Deletes the working files, starts the download when `downloadOnOpen`,
    // and runs the dialog modally.
    int Run(bool downloadOnOpen);

    // Cancel, Esc and closing: ignored while the console is being updated;
    // during a download they stop it first, leaving no file.
    void reject() override;

private:
    void OnDownloadProgress(qint64 received, qint64 total);
    void OnDownloadFinished(FirmwareDownload::Outcome outcome, const QString& why);
    void OnUpdate();
    void OnUpdateFinished(const UpdateResult& result);
    void EnableButtons(bool enabled);

    // The update's reports, on its worker thread.
    void OnStatus(const std::string& text) override;
    void OnProgress(std::uint64_t position, std::uint64_t range) override;
    void ShowUpdateProgress();

    ConsoleLink& link_;
    Messages& messages_;
    const std::filesystem::path dataFolder_;
    std::unique_ptr<Ui::FirmwareUpdateDialog> ui_;
    FirmwareDownload download_;
    FirmwareFiles files_;
    // The latest progress of the update; the UI thread shows it once however
    // often it changed in between.
    std::atomic<std::uint64_t> progressPosition_{0};
    std::atomic<std::uint64_t> progressRange_{0};
    std::atomic<bool> progressPending_{false};
    // Last, so that a running update ends before anything it reports to goes.
    // It is busy while the console is being updated.
    WorkerJob worker_{*this};
};

}  // namespace vorelle
