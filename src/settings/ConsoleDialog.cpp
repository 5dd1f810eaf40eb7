#include "settings/ConsoleDialog.h"

#include <QApplication>
#include <QPushButton>

#include <algorithm>
#include <utility>

namespace vorelle {

ConsoleDialog::ConsoleDialog(ConsoleLink& link, Messages& messages, QWidget* parent)
    : QDialog(parent), link_(link), messages_(messages)
{
    link_.Router().AddScreenFlag(screenFlag_);
}

ConsoleDialog::~ConsoleDialog() { link_.Router().RemoveScreenFlag(screenFlag_); }

int ConsoleDialog::Run()
{
    // No answer to the screen check leaves this 1, which refuses the write.
    screenFlag_ = 1;
    // A slot that no reply has filled yet is all zeros.
    hasBlock_ = link_.Connected() && std::any_of(block_.begin(), block_.end(), [](std::uint8_t b) { return b != 0; });
    if (!hasBlock_)
        block_.fill(0);
    InitDialog();
    return exec();
}

void ConsoleDialog::reject()
{
    if (Saving())
        return;
    QDialog::reject();
}

void ConsoleDialog::ShowSaving(bool saving)
{
    if (!saving) {
        QApplication::restoreOverrideCursor();
        for (const QPointer<QPushButton>& button : std::exchange(heldButtons_, {}))
            if (button)
                button->setEnabled(true);
        return;
    }
    // A busy cursor, not a wait cursor: the program still answers.
    QApplication::setOverrideCursor(Qt::BusyCursor);
    for (QPushButton* button : findChildren<QPushButton*>()) {
        if (button->isEnabled()) {
            button->setEnabled(false);
            heldButtons_.append(button);
        }
    }
}

void ConsoleDialog::SaveAndConclude(std::function<SaveOutcome()> save)
{
    const bool started = job_.Start([this, save = std::move(save)](std::stop_token) -> WorkerJob::Then {
        const SaveOutcome outcome = save();
        return [this, outcome] {
            ShowSaving(false);
            messages_.Inform(outcome.message);
            if (outcome.ClosesDialog())
                accept();
        };
    });
    // Its end arrives queued, after this.
    if (started)
        ShowSaving(true);
}

void ConsoleDialog::SaveBlockAndConclude(std::function<SaveOutcome()> save)
{
    if (hasBlock_)
        SaveAndConclude(std::move(save));
    else
        messages_.Inform(std::string(kOpenedWithoutConsoleText));
}

}  // namespace vorelle
