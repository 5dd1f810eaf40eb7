#include "app/StartupActions.h"

#include "app/BoardView.h"
#include "app/MainWindow.h"
#include "widgets/DialogFilling.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLayout>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace vorelle {

namespace {
// Without a console no reading ever comes; the picture then shows what an
// owner without one sees.
constexpr int kReadingPatienceMs = 15000;
constexpr int kCheckEveryMs = 100;
}  // namespace

StartupActions::StartupActions(MainWindow& window, QString dialogName, QString screenshotFile)
    : QObject(&window), window_(window), dialogName_(std::move(dialogName)), screenshotFile_(std::move(screenshotFile))
{
}

void StartupActions::Start()
{
    if (dialogName_.isEmpty() && screenshotFile_.isEmpty())
        return;
    if (dialogName_.isEmpty()) {
        WhenFirstReadingDrawn([this] { Finish(Save(window_)); });
        return;
    }
    // A dialog's picture is wanted filled, and some dialogs show the readings.
    if (screenshotFile_.isEmpty())
        QTimer::singleShot(0, this, &StartupActions::OpenDialog);
    else
        WhenFirstReadingDrawn([this] { OpenDialog(); });
}

void StartupActions::WhenFirstReadingDrawn(const std::function<void()>& then)
{
    auto* timer = new QTimer(this);
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    connect(timer, &QTimer::timeout, this, [this, timer, started, then] {
        if (window_.Board().Shown().generation == 0 && started->elapsed() < kReadingPatienceMs)
            return;
        timer->deleteLater();
        timer->stop();
        then();
    });
    timer->start(kCheckEveryMs);
}

void StartupActions::OpenDialog()
{
    if (!screenshotFile_.isEmpty())
        GrabNextDialog();
    // Runs modally: returns when the dialog has closed.
    window_.ShowDialog(dialogName_);
    if (!screenshotFile_.isEmpty())
        Finish(saved_);
}

void StartupActions::GrabNextDialog()
{
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this, timer] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        // A dialog that fills itself from the console is pictured filled.
        if (!dialog || dialog->property(kDialogFillingProperty).toBool())
            return;
        timer->stop();
        timer->deleteLater();
        saved_ = Save(*dialog);
        dialog->reject();
    });
    timer->start(kCheckEveryMs);
}

bool StartupActions::Save(QWidget& widget)
{
    // A reading that just widened the board has not yet resized its window.
    if (widget.layout())
        widget.layout()->activate();
    const bool saved = widget.grab().save(screenshotFile_, "PNG");
    if (!saved)
        std::fprintf(stderr, "vorelle2: cannot write %s\n", qPrintable(screenshotFile_));
    return saved;
}

void StartupActions::Finish(bool saved) { QApplication::exit(saved ? 0 : 1); }

}  // namespace vorelle
