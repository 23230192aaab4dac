#include "converter/gui/ConversionListView.h"

#include <QDragEnterEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QUrl>
#include <algorithm>

#include "common/ColumnSpec.h"
#include "common/StringTable.h"
#include "common/strings/ConverterText.h"
#include "converter/ConversionList.h"
#include "converter/gui/ConversionListModel.h"

namespace corvane {
namespace {

constexpr int kRowPadding = 8;

QStringList LocalPaths(const QMimeData* mime) {
  QStringList paths;
  if (mime == nullptr || !mime->hasUrls()) return paths;
  for (const QUrl& url : mime->urls()) {
    if (url.isLocalFile()) paths << url.toLocalFile();
  }
  return paths;
}

}  // namespace

ConversionListView::ConversionListView(ConversionList& list, ConversionListLoader& loader, QWidget* parent)
    : QTableView(parent), list_(list), loader_(loader) {
  const QList<ColumnDef> columns = ParseColumnSpec(StringTable::Text(text::kListColumnSpec));
  model_ = new ConversionListModel(list_, columns, this);
  setModel(model_);
  for (int column = 0; column < columns.size(); ++column) {
    base_widths_ << std::max(columns[column].width, horizontalHeader()->sectionSizeHint(column));
    setColumnWidth(column, base_widths_.back());
  }
  connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this] {
    if (!sharing_) sized_by_user_ = true;
  });
  setShowGrid(true);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setWordWrap(false);
  verticalHeader()->hide();
  // Rows as tall as their text needs, so that a small screen still shows a useful number.
  verticalHeader()->setMinimumSectionSize(fontMetrics().height() + kRowPadding);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + kRowPadding);
  horizontalHeader()->setSectionsMovable(true);
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  setAcceptDrops(true);
  viewport()->setAcceptDrops(true);
  setDragDropMode(QAbstractItemView::DropOnly);
  setDropIndicatorShown(false);

  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &ConversionListView::TakeViewSelection);
  connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& current) {
    if (!syncing_) list_.SetFocusedRow(current.isValid() ? current.row() : -1);
  });
  ObserveList();
  ShowListSelection(0, list_.Count() - 1);
}

ConversionListView::~ConversionListView() { list_.SetObserver({}); }

void ConversionListView::resizeEvent(QResizeEvent* event) {
  QTableView::resizeEvent(event);
  ShareWidth();
}

void ConversionListView::ShareWidth() {
  if (sized_by_user_ || base_widths_.isEmpty()) return;
  int total = 0;
  for (const int width : base_widths_) total += width;
  const int available = viewport()->width();
  sharing_ = true;
  int given = 0;
  for (int column = 0; column < base_widths_.size(); ++column) {
    int width = base_widths_[column];
    if (available > total) {
      const bool last = column + 1 == base_widths_.size();
      width = last ? available - given : base_widths_[column] * available / total;
    }
    given += width;
    setColumnWidth(column, width);
  }
  sharing_ = false;
}

template <typename Change>
void ConversionListView::Quietly(Change change) {
  const bool was = syncing_;
  syncing_ = true;
  change();
  syncing_ = was;
}

void ConversionListView::ObserveList() {
  ConversionListObserver observer;
  // Rows come and go while the selection model follows them; what it reports then is an echo.
  observer.rows_inserted = [this](int first, int last) { Quietly([&] { model_->RowsInserted(first, last); }); };
  observer.rows_removed = [this](int first, int last) {
    Quietly([&] { model_->RowsRemoved(first, last); });
    emit SelectionUpdateNeeded();
  };
  observer.rows_changed = [this](int first, int last) { model_->RowsChanged(first, last); };
  observer.selection_changed = [this](int first, int last) { ShowListSelection(first, last); };
  observer.focus_row = [this](int row) { FocusRow(row); };
  list_.SetObserver(std::move(observer));
}

void ConversionListView::ShowListSelection(int first, int last) {
  if (syncing_) return;
  QItemSelection chosen;
  QItemSelection dropped;
  const int lastColumn = model_->columnCount() - 1;
  for (int row = std::max(first, 0); row <= last && row < model_->rowCount(); ++row) {
    (list_.IsSelected(row) ? chosen : dropped).select(model_->index(row, 0), model_->index(row, lastColumn));
  }
  Quietly([&] {
    if (!dropped.isEmpty()) selectionModel()->select(dropped, QItemSelectionModel::Deselect);
    if (!chosen.isEmpty()) selectionModel()->select(chosen, QItemSelectionModel::Select);
  });
  emit SelectionUpdateNeeded();
}

void ConversionListView::TakeViewSelection(const QItemSelection& selected, const QItemSelection& deselected) {
  if (syncing_) return;
  Quietly([&] {
    for (const QModelIndex& index : deselected.indexes()) {
      if (index.column() == 0) list_.SetSelected(index.row(), false);
    }
    for (const QModelIndex& index : selected.indexes()) {
      if (index.column() == 0) list_.SetSelected(index.row(), true);
    }
  });
  emit SelectionUpdateNeeded();
}

void ConversionListView::FocusRow(int row) {
  const QModelIndex index = model_->index(row, 0);
  if (!index.isValid()) return;
  setFocus(Qt::OtherFocusReason);
  Quietly([&] { selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate); });
  scrollTo(index);
}

void ConversionListView::dragEnterEvent(QDragEnterEvent* event) {
  if (LocalPaths(event->mimeData()).isEmpty()) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
}

void ConversionListView::dragMoveEvent(QDragMoveEvent* event) {
  if (LocalPaths(event->mimeData()).isEmpty()) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
}

void ConversionListView::dropEvent(QDropEvent* event) {
  const QStringList paths = LocalPaths(event->mimeData());
  if (paths.isEmpty()) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
  emit PathsDropped(loader_.Drop(paths));
}

void ConversionListView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
    list_.RemoveSelected();
    event->accept();
    return;
  }
  QTableView::keyPressEvent(event);
}

}  // namespace corvane
