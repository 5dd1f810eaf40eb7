#pragma once

#include "app/BoardArt.h"
#include "live/LiveReadings.h"

class QPainter;

namespace vorelle {

// The board for these readings: wide as soon as a channel is present.
BoardSize BoardSizeFor(const LiveReadings::Snapshot& readings);

// Draws the whole board at (0, 0): picture, names, values and wind arrow.
void PaintBoard(QPainter& painter, const LiveReadings::Snapshot& readings);

}  // namespace vorelle
