#pragma once

#include <QString>

class QWidget;

namespace vorelle {

// Names `field` for a screen reader by the row and the column it stands in,
// as someone who sees the form reads it: "Indoor Temp: high alarm". For the
// fields of a grid whose labels alone are shared by several fields.
void NameByRowAndColumn(QWidget& field, const QString& row, const QString& column);

// The text of the label whose buddy `field` is (empty without one).
QString LabelTextOf(const QWidget& field);

// The title of the group box `field` stands in (empty outside one).
QString GroupTitleOf(const QWidget& field);

}  // namespace vorelle
