#include "converter/gui/ConversionListModel.h"

#include "converter/ConversionList.h"

namespace corvane {

ConversionListModel::ConversionListModel(ConversionList& list, QList<ColumnDef> columns, QObject* parent)
    : QAbstractTableModel(parent), list_(list), columns_(std::move(columns)), shown_rows_(list.Count()) {}

int ConversionListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : shown_rows_; }

int ConversionListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant ConversionListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= list_.Count() || index.column() >= kListColumnCount) return {};
  if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
    return list_.Text(index.row(), static_cast<ListColumn>(index.column()));
  }
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
  return {};
}

QVariant ConversionListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= columns_.size()) return {};
  if (role == Qt::DisplayRole) return columns_[section].caption;
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
  return {};
}

Qt::ItemFlags ConversionListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::ItemIsDropEnabled;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDropEnabled;
}

void ConversionListModel::RowsInserted(int first, int last) {
  beginInsertRows({}, first, last);
  shown_rows_ += last - first + 1;
  endInsertRows();
}

void ConversionListModel::RowsRemoved(int first, int last) {
  beginRemoveRows({}, first, last);
  shown_rows_ -= last - first + 1;
  endRemoveRows();
}

void ConversionListModel::RowsChanged(int first, int last) {
  emit dataChanged(index(first, 0), index(last, columnCount() - 1));
}

}  // namespace corvane
