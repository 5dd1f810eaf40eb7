#pragma once

#include <QIcon>
#include <QImage>
#include <QSize>

namespace vorelle {

// The two main-window boards: the narrow one without the channel column and
// the wide one with it.
enum class BoardSize { Narrow, Wide };

// 620 x 620 for the narrow board, 930 x 650 for the wide one.
QSize BoardPictureSize(BoardSize size);

// The background picture of a board: opaque (Format_RGB32), exactly
// BoardPictureSize(size) in logical pixels, drawn for a screen with
// `devicePixelRatio` device pixels to each. It carries no names or values;
// those are written over it at the rectangles of board/BoardLayout.h, in
// grey, and every place they can land stays light enough for that.
QImage PaintBoardPicture(BoardSize size, qreal devicePixelRatio = 1.0);

// The application icon, `pixels` wide and high (Format_ARGB32_Premultiplied,
// transparent corners). Small sizes drop the finer details.
QImage PaintAppIcon(int pixels);

// The application icon at 16, 32, 48, 64, 128 and 256 pixels. Needs a
// QGuiApplication.
QIcon AppIcon();

// The sizes AppIcon() carries.
inline constexpr int kAppIconSizes[] = {16, 32, 48, 64, 128, 256};

}  // namespace vorelle
