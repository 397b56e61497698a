#include "app/fragment_table_model.h"

#include <QColor>

#include <limits>

#include "app/fragment_row_images.h"

namespace vorthal {
namespace {

// Row colours by position in the view: they follow the rows' places, not the rows, so a sort
// recolours them.
const QColor kEvenRowColour(120, 182, 93);
const QColor kOddRowColour(120, 221, 139);

int AsRowCount(std::size_t count) {
    return count > static_cast<std::size_t>(std::numeric_limits<int>::max()) ? std::numeric_limits<int>::max()
                                                                             : static_cast<int>(count);
}

} // namespace

FragmentTableModel::FragmentTableModel(const QStringList& captions, QObject* parent)
    : QAbstractTableModel(parent), captions_(captions), headerPageImage_(DrawHeaderPageMark()),
      pageImage_(DrawPageSymbol()) {}

int FragmentTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shownRows_;
}

int FragmentTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kFragmentViewColumnCount;
}

QVariant FragmentTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= shownRows_)
        return {};
    const auto position = static_cast<std::size_t>(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(rows_.CellText(position, index.column()));
    case Qt::CheckStateRole:
        if (index.column() == kColumnRowNumber)
            return rows_.Row(position).ticked ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::DecorationRole:
        if (index.column() == kColumnRowNumber)
            return rows_.Row(position).StartsDatabaseFile() ? headerPageImage_ : pageImage_;
        return {};
    case Qt::BackgroundRole:
        return index.row() % 2 == 0 ? kEvenRowColour : kOddRowColour;
    default:
        return {};
    }
}

bool FragmentTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.row() >= shownRows_ || index.column() != kColumnRowNumber ||
        role != Qt::CheckStateRole)
        return false;
    rows_.SetTicked(static_cast<std::size_t>(index.row()), value.toInt() == Qt::Checked);
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags FragmentTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == kColumnRowNumber)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QVariant FragmentTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= captions_.size())
        return {};
    return captions_[section];
}

void FragmentTableModel::Fill(const FragmentList& fragments) {
    beginResetModel();
    rows_.Fill(fragments);
    shownRows_ = AsRowCount(rows_.RowCount());
    endResetModel();
}

void FragmentTableModel::Apply(const std::vector<FragmentRowEvent>& events) {
    std::size_t first = 0;
    while (first < events.size()) {
        if (events[first].removeLast) {
            RemoveLastLine();
            ++first;
            continue;
        }
        std::size_t end = first;
        while (end < events.size() && !events[end].removeLast)
            ++end;
        AppendLines(events, first, end);
        first = end;
    }
}

void FragmentTableModel::AppendLines(const std::vector<FragmentRowEvent>& events, std::size_t first,
                                     std::size_t end) {
    for (std::size_t i = first; i < end; ++i)
        rows_.AppendLine(events[i].line);
    const int count = AsRowCount(rows_.RowCount());
    if (count == shownRows_)
        return;
    beginInsertRows(QModelIndex(), shownRows_, count - 1);
    shownRows_ = count;
    endInsertRows();
}

void FragmentTableModel::RemoveLastLine() {
    const std::optional<std::size_t> position = rows_.RowOfLastLine();
    if (!position) {
        rows_.RemoveLastLine();
        return;
    }
    const int row = AsRowCount(*position);
    beginRemoveRows(QModelIndex(), row, row);
    rows_.RemoveLastLine();
    shownRows_ = AsRowCount(rows_.RowCount());
    endRemoveRows();
}

void FragmentTableModel::SortByColumn(int column) {
    beginResetModel();
    rows_.SortByColumn(column);
    endResetModel();
}

void FragmentTableModel::TickAll() {
    rows_.TickAll();
    TicksChanged();
}

void FragmentTableModel::ClearTicks() {
    rows_.ClearTicks();
    TicksChanged();
}

void FragmentTableModel::InvertTicks() {
    rows_.InvertTicks();
    TicksChanged();
}

void FragmentTableModel::TicksChanged() {
    if (shownRows_ > 0)
        emit dataChanged(index(0, kColumnRowNumber), index(shownRows_ - 1, kColumnRowNumber),
                         {Qt::CheckStateRole});
}

} // namespace vorthal
