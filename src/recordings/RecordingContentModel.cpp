#include "recordings/RecordingContentModel.h"

#include "widgets/QtText.h"

#include <algorithm>
#include <climits>

namespace vorelle {

RecordingContentModel::RecordingContentModel(QObject* parent) : QAbstractTableModel(parent) {}

void RecordingContentModel::Show(std::shared_ptr<const RecordingContent> content)
{
    beginResetModel();
    content_ = std::move(content);
    endResetModel();
}

int RecordingContentModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !content_)
        return 0;
    // A recording is at most 1 GiB, so its rows always fit.
    return static_cast<int>(std::min<std::size_t>(content_->RowCount(), INT_MAX));
}

int RecordingContentModel::columnCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !content_)
        return 0;
    return static_cast<int>(content_->ColumnCount());
}

QString RecordingContentModel::Text(std::string_view bytes) const
{
    return ToQString(content_->Shown(bytes)).left(kMaxCellCharacters);
}

QVariant RecordingContentModel::data(const QModelIndex& index, int role) const
{
    if (!content_ || !index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    if (role != Qt::DisplayRole)
        return {};
    return Text(content_->Cell(static_cast<std::size_t>(index.row()), static_cast<std::size_t>(index.column())));
}

QVariant RecordingContentModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (!content_ || orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    if (role != Qt::DisplayRole)
        return {};
    return Text(content_->Title(static_cast<std::size_t>(section)));
}

}  // namespace vorelle
