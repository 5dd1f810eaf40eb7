#pragma once

class QCheckBox;
class QLineEdit;

namespace vorelle {

// Masks `password` with "*" and lets `show` reveal it while checked. The text
// stays in the field only: nothing writes it to a log.
void MaskWithShowBox(QLineEdit& password, QCheckBox& show);

}  // namespace vorelle
