#pragma once
#include <QAbstractTableModel>
#include <QList>

#include "common/ColumnSpec.h"

namespace corvane {

class ConversionList;

// Shows the rows of a ConversionList to a view, with the captions of the column specification.
// The list's observer tells the model about inserted, removed and changed rows.
class ConversionListModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  ConversionListModel(ConversionList& list, QList<ColumnDef> columns, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // Called after the list changed. The model reports its own row count, which follows the list
  // in these calls, so a view never sees rows that were not announced.
  void RowsInserted(int first, int last);
  void RowsRemoved(int first, int last);
  void RowsChanged(int first, int last);

 private:
  ConversionList& list_;
  QList<ColumnDef> columns_;
  int shown_rows_ = 0;
};

}  // namespace corvane
