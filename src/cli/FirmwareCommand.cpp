#include "cli/FirmwareCommand.h"

#include "cli/CliConsole.h"
#include "cli/CommandLine.h"
#include "firmware/BootloaderBlocks.h"
#include "firmware/DownloadProgress.h"
#include "firmware/FirmwareDownload.h"
#include "firmware/FirmwareUpdate.h"
#include "firmware/UpdateServer.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTemporaryDir>

#include <cinttypes>
#include <cstdio>
#include <optional>

namespace vorelle {

namespace {

struct FirmwareOptions {
    std::string file;
    bool download = false;
    bool yes = false;
    ConsoleChoice console;
};

// What the command line asks for; what is wrong with it, if anything.
std::optional<std::string> ReadFirmwareOptions(const CommandCall& call, FirmwareOptions& options)
{
    const std::vector<std::string>& words = call.Words();
    options.download = call.Options().Has("--download");
    options.yes = call.Options().Has("--yes");
    if (words.size() > 1)
        return "one firmware file only";
    if (options.download && !words.empty())
        return "name a firmware file or --download, not both";
    if (!options.download && words.empty())
        return "name a firmware file or --download";
    options.file = options.download ? std::string() : words[0];
    return ReadConsoleChoice(call.Options(), {}, options.console);
}

// Progress on standard error: each new tenth once.
class ProgressLines {
public:
    void Show(const char* what, std::optional<int> percent)
    {
        const int tenth = percent ? *percent / 10 : -1;
        if (what == what_ && tenth == tenth_)
            return;
        what_ = what;
        tenth_ = tenth;
        if (percent)
            std::fprintf(stderr, "%s %d%%\n", what, tenth * 10);
        else
            std::fprintf(stderr, "%s\n", what);
    }

private:
    const char* what_ = nullptr;
    int tenth_ = -2;
};

class PrintingObserver final : public UpdateObserver {
public:
    void OnStatus(const std::string& text) override { std::fprintf(stderr, "The console says: %s\n", text.c_str()); }
    void OnProgress(std::uint64_t position, std::uint64_t range) override
    {
        const bool writing = 2 * position < range;
        lines_.Show(writing ? "Writing" : "Reading back", DownloadPercent(static_cast<std::int64_t>(position),
                                                                           static_cast<std::int64_t>(range)));
    }

private:
    ProgressLines lines_;
};

bool Download(const QUrl& url, const std::filesystem::path& target)
{
    int argc = 1;
    char name[] = "vorelle2-cli";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    FirmwareDownload download;
    QEventLoop loop;
    ProgressLines lines;
    bool saved = false;
    QObject::connect(&download, &FirmwareDownload::Progress, [&](qint64 received, qint64 total) {
        lines.Show("Downloading", DownloadPercent(received, total));
    });
    QObject::connect(&download, &FirmwareDownload::Finished,
                     [&](FirmwareDownload::Outcome outcome, const QString& why) {
                         saved = outcome == FirmwareDownload::Outcome::Saved;
                         if (!saved)
                             std::fprintf(stderr, "vorelle2-cli firmware: Download Fail: %s\n", qPrintable(why));
                         loop.quit();
                     });
    std::fprintf(stderr, "Downloading %s\n", qPrintable(ShownAddress(url)));
    download.Start(url, QString::fromStdString(target.string()));
    loop.exec();
    return saved;
}

int RunFirmware(const CommandCall& call)
{
    FirmwareOptions options;
    if (const std::optional<std::string> problem = ReadFirmwareOptions(call, options))
        return call.WrongLine(*problem);

    const QTemporaryDir work;
    if (!work.isValid()) {
        std::fprintf(stderr, "vorelle2-cli firmware: cannot make a working folder: %s\n",
                     qPrintable(work.errorString()));
        return kExitFailed;
    }
    const FirmwareFiles files = FirmwareFiles::In(work.path().toStdString());
    const std::string source = options.download ? "the downloaded firmware" : options.file;

    if (options.download) {
        const QUrl url = FirmwareUrl();
        if (url.isEmpty()) {
            std::fprintf(stderr,
                         "vorelle2-cli firmware: Download Fail: no update server is set; set VORELLE2_UPDATE_SERVER "
                         "to its http or https address\n");
            return kExitTransferFailed;
        }
        if (!options.yes) {
            std::printf("Would download %s, check it, and write it into the console. Nothing was sent; add --yes "
                        "to do it.\n",
                        qPrintable(ShownAddress(url)));
            return kExitDone;
        }
        if (!Download(url, files.hex))
            return kExitTransferFailed;
    }

    const std::filesystem::path hex = options.download ? files.hex : std::filesystem::path(options.file);
    const ConvertedFirmware converted = ConvertFirmware(hex, files.image);
    if (!converted.problem.empty()) {
        std::fprintf(stderr, "vorelle2-cli firmware: %s cannot be used: %s. Nothing was sent to the console.\n",
                     source.c_str(), converted.problem.c_str());
        return kExitRefused;
    }
    std::error_code ignored;
    const std::uintmax_t imageLength = std::filesystem::file_size(files.image, ignored);
    const BlockLayout layout(static_cast<std::size_t>(imageLength));
    if (!options.yes) {
        std::printf("%s holds data from address 0x%08" PRIX32 " to 0x%08" PRIX64 ".\n", source.c_str(),
                    converted.first, converted.last);
        std::printf("Would write %s into the %s console: its image is %ju bytes, of which the %zu after the "
                    "bootloader's own go in %zu blocks, each read back before the new firmware is started. Nothing "
                    "was sent; add --yes to do it.\n",
                    source.c_str(), options.console.kind == ConsoleKind::Simulated ? "simulated" : "USB",
                    imageLength, layout.Transferred(),
                    layout.Count());
        return kExitDone;
    }

    const std::unique_ptr<ConsoleDoor> console = OpenConsole(options.console);
    if (!console)
        return kExitFailed;
    PrintingObserver observer;
    const UpdateResult result = UpdateFromFiles(console->Link(), files, observer, {.reopenAfterEntry = true});
    if (!result.Verified()) {
        std::fprintf(stderr, "vorelle2-cli firmware: %s%s\n", result.message.c_str(),
                     result.retry ? " Run the command again to retry." : "");
        return kExitFailed;
    }
    std::printf("Update Success! The console holds %s: %zu bytes written, read back and verified, and the new "
                "firmware started.\n",
                source.c_str(), layout.Transferred());
    return kExitDone;
}

}  // namespace

const CliCommand kFirmwareCommand = {
    "firmware",
    "(FILE.hex | --download) [--simulate] [--yes]",
    "write a firmware into the console and verify it",
    "Writes a firmware into the console through its bootloader. The Intel HEX\n"
    "file is converted and checked first; only a sound image is sent: the file\n"
    "ends with its end-of-file record, its data start where the flash starts\n"
    "(0x00000000 or 0x08000000), and it holds firmware past the bootloader. The\n"
    "console then enters its bootloader, is erased, takes every block, and sends\n"
    "every block back; only when all of it equals the image is the new firmware\n"
    "started. Without --yes it checks what it can (printing the file's first and\n"
    "last address) and says what it would do, sending nothing to the console or\n"
    "the update server.\n"
    "\n"
    "  FILE.hex     the firmware file to write",
    {
        {"--download", "", "fetch the firmware from the update server instead\n(VORELLE2_UPDATE_SERVER, an http or "
                           "https address)"},
        {"--simulate", "", "update the built-in simulated console instead of USB"},
        {"--yes", "", "do it"},
    },
    "Progress goes to standard error.",
    {{kExitDone, "the console holds the firmware, read back and verified (or,\nwithout --yes, it would be "
                 "written)"},
     {kExitFailed, "no console, or the update failed on the console"},
     {kExitRefused, "the firmware file cannot be used (nothing was sent)"},
     {kExitTransferFailed, "the download failed (nothing was sent)"}},
    RunFirmware,
};

}  // namespace vorelle
