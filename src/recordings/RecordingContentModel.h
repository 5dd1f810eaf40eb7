#pragma once

#include "recordings/RecordingContent.h"

#include <QAbstractTableModel>

#include <memory>

namespace vorelle {

// The content list's rows, read from the imported recording only when a
// view asks for a cell: a year of one-minute readings scrolls as smoothly
// as an hour, and no text is copied beforehand.
class RecordingContentModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    // The longest text a cell shows; the rest of a longer field is cut.
    static constexpr int kMaxCellCharacters = 259;

    explicit RecordingContentModel(QObject* parent = nullptr);

    // Shows `content` (none: an empty list) in place of what was shown.
    void Show(std::shared_ptr<const RecordingContent> content);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QString Text(std::string_view bytes) const;

    std::shared_ptr<const RecordingContent> content_;
};

}  // namespace vorelle
