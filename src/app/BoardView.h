#pragma once

#include "live/LiveReadings.h"

#include <QWidget>

namespace vorelle {

// The painted board of the main window. It shows the readings it last took,
// so one paint never mixes two readings, and takes the size of its board.
class BoardView final : public QWidget {
    Q_OBJECT

public:
    BoardView(LiveReadings& readings, QWidget* parent = nullptr);

    // Takes the current readings, resizes to their board and repaints.
    void Refresh();
    const LiveReadings::Snapshot& Shown() const { return shown_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    LiveReadings& readings_;
    LiveReadings::Snapshot shown_;
};

}  // namespace vorelle
