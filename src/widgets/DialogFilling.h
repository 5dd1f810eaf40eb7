#pragma once

namespace vorelle {

// A dialog that fills itself after it shows (from the console, off the UI
// thread) holds this property true until it is filled, so that a picture
// taken of it waits for what it is to show.
inline constexpr char kDialogFillingProperty[] = "vorelle2Filling";

}  // namespace vorelle
