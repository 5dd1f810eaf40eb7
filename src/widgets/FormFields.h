#pragma once

#include "widgets/QtText.h"

#include <QComboBox>

#include <array>
#include <cstddef>
#include <string_view>

namespace vorelle {

// How long the tool tip that gives a field's accepted range stays up.
inline constexpr int kFieldToolTipMs = 5000;

// Replaces the list's rows with `rows`, the first one selected.
template <std::size_t N>
void FillList(QComboBox* list, const std::array<std::string_view, N>& rows)
{
    list->clear();
    for (std::string_view row : rows)
        list->addItem(ToQString(row));
    list->setCurrentIndex(0);
}

}  // namespace vorelle
