#pragma once
#include <QTableView>

#include "converter/ConversionListLoader.h"

namespace corvane {

class ConversionList;
class ConversionListModel;

// The conversion list on the page: the columns of the column specification, grid lines,
// whole-row selection of several rows, movable headers. Dropped files and folders go to the
// loader, the Delete key removes the selected rows, and the selection is kept in step with the
// list's own in both directions.
class ConversionListView : public QTableView {
  Q_OBJECT
 public:
  ConversionListView(ConversionList& list, ConversionListLoader& loader, QWidget* parent = nullptr);
  ~ConversionListView() override;

  ConversionListModel* ListModel() const { return model_; }

 signals:
  // The selection or the rows changed: the page runs the list's selection update.
  void SelectionUpdateNeeded();
  // Paths were dropped and handed to the loader.
  void PathsDropped(const LoadResult& result);

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Widens the columns in proportion to their own widths so that together they fill a view wider
  // than their sum; until the user sizes a column by hand.
  void ShareWidth();
  void ObserveList();
  void ShowListSelection(int first, int last);
  void TakeViewSelection(const QItemSelection& selected, const QItemSelection& deselected);
  void FocusRow(int row);
  template <typename Change>
  void Quietly(Change change);

  ConversionList& list_;
  ConversionListLoader& loader_;
  ConversionListModel* model_ = nullptr;
  bool syncing_ = false;
  // Each column's width from the column text, or its caption's width where that is more.
  QList<int> base_widths_;
  bool sized_by_user_ = false;
  bool sharing_ = false;
};

}  // namespace corvane
