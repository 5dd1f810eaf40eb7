#include "settings/ConsoleDialog.h"

#include <QApplication>

#include <algorithm>

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

void ConsoleDialog::SaveAndConclude(const std::function<SaveOutcome()>& save)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const SaveOutcome outcome = save();
    QApplication::restoreOverrideCursor();
    messages_.Inform(outcome.message);
    if (outcome.ClosesDialog())
        accept();
}

void ConsoleDialog::SaveBlockAndConclude(const std::function<SaveOutcome()>& save)
{
    if (hasBlock_)
        SaveAndConclude(save);
    else
        messages_.Inform(std::string(kOpenedWithoutConsoleText));
}

}  // namespace vorelle
