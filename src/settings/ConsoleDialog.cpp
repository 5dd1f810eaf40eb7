#include "settings/ConsoleDialog.h"

#include <QApplication>

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

}  // namespace vorelle
