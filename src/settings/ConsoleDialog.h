#pragma once

#include "link/ConsoleLink.h"
#include "messages/Messages.h"
#include "settings/SettingsSave.h"
#include "widgets/WorkerJob.h"

#include <QDialog>
#include <QList>
#include <QPointer>

#include <functional>

class QPushButton;

namespace vorelle {

// What every station-settings dialog shares: the console's block copied in
// before it opens, its screen flag, and the way a save ends. Constructed once
// and reused, so a dialog keeps its fields between openings.
class ConsoleDialog : public QDialog {
    Q_OBJECT

public:
    ConsoleDialog(ConsoleLink& link, Messages& messages, QWidget* parent = nullptr);
    ~ConsoleDialog() override;

    // The console's block as read just before the dialog opens (256 bytes).
    void SetSettingsBlock(const ReplyArea::Slot& block) { block_ = block; }
    const ReplyArea::Slot& SettingsBlock() const { return block_; }

    // Fills the controls afresh and runs the dialog modally.
    int Run();

    // True while a save (a clear, a test message) waits for the console.
    bool Saving() const { return job_.Busy(); }

    // Esc and closing: ignored while a save waits for the console, which the
    // poll that resumes when the dialog closes would talk across.
    void reject() override;

protected:
    // Each opening: fill the controls from the block (or leave them empty
    // without it).
    virtual void InitDialog() = 0;

    // Whether this opening has the console's block to fill the controls from:
    // the console was there when the dialog opened, and its block has come
    // (now or at an earlier reading). Without it the block is all zeros.
    bool HasConsoleBlock() const { return hasBlock_; }

    // Runs a save off the UI thread, which waits for the console, while the
    // dialog shows that it works (a busy cursor, its buttons disabled), then
    // shows how it ended: a save that went through closes the dialog,
    // anything else leaves it open with what the user typed. `save` holds
    // copies of what it reads: it never touches a control.
    void SaveAndConclude(std::function<SaveOutcome()> save);

    // The same for a save that writes back the block the controls were filled
    // from: opened without it, the dialog never writes one (its empty fields
    // would go out as zeros), even if the console has come since.
    void SaveBlockAndConclude(std::function<SaveOutcome()> save);

    ConsoleLink& link_;
    Messages& messages_;
    ReplyArea::Slot block_{};
    ScreenFlag screenFlag_{1};

private:
    void ShowSaving(bool saving);

    bool hasBlock_ = false;
    // The buttons a save disabled, enabled again when it has ended.
    QList<QPointer<QPushButton>> heldButtons_;
    // Last, so that a save still running ends before what it uses goes.
    WorkerJob job_{*this};
};

}  // namespace vorelle
