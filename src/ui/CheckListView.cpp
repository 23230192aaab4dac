#include "ui/CheckListView.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionButton>

namespace corvane {
namespace {

constexpr int kImageSize = 16;

// Image 1 (an empty box) or image 2 (a ticked box) of the column-0 header.
QIcon HeaderIcon(const QWidget& widget, bool checked) {
  QPixmap pixmap(kImageSize, kImageSize);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  QStyleOptionButton option;
  option.rect = QRect(1, 1, kImageSize - 2, kImageSize - 2);
  option.state = QStyle::State_Enabled | (checked ? QStyle::State_On : QStyle::State_Off);
  widget.style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &painter, &widget);
  return QIcon(pixmap);
}

}  // namespace

CheckListView::CheckListView(QWidget* parent) : QTreeWidget(parent) {
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setUniformRowHeights(true);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                  QAbstractItemView::EditKeyPressed);
  header()->setSectionsMovable(true);
  header()->setSectionsClickable(true);
  header()->setStretchLastSection(true);
  header()->setMinimumSectionSize(kImageSize);
  connect(header(), &QHeaderView::sectionClicked, this, [this](int section) {
    if (section == 0) ToggleAll();
  });
}

void CheckListView::SetColumns(const QList<ColumnDef>& columns, int editableColumn) {
  editable_column_ = editableColumn;
  QStringList captions;
  for (const ColumnDef& column : columns) captions << column.caption.trimmed();
  setColumnCount(static_cast<int>(columns.size()));
  setHeaderLabels(captions);
  for (int i = 0; i < columns.size(); ++i) setColumnWidth(i, columns[i].width);
  SetImage(image_);
}

void CheckListView::AddRow(const QStringList& cells) {
  auto* item = new QTreeWidgetItem(this);
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemIsEditable);
  item->setCheckState(0, image_ == HeaderImage::AllChecked ? Qt::Checked : Qt::Unchecked);
  for (int i = 0; i < cells.size(); ++i) item->setText(i + 1, cells[i]);
  const int row = indexOfTopLevelItem(item);
  for (int column = 0; column < columnCount(); ++column) {
    item->setBackground(column, RowColour(row));
    item->setForeground(column, QColor(Qt::black));
  }
}

QColor CheckListView::RowColour(int row) { return row % 2 == 0 ? QColor(Qt::white) : QColor(248, 249, 253); }

QString CheckListView::Cell(int row, int column) const {
  const QTreeWidgetItem* item = topLevelItem(row);
  return item != nullptr ? item->text(column) : QString();
}

bool CheckListView::IsChecked(int row) const {
  const QTreeWidgetItem* item = topLevelItem(row);
  return item != nullptr && item->checkState(0) == Qt::Checked;
}

void CheckListView::SetChecked(int row, bool checked) {
  if (QTreeWidgetItem* item = topLevelItem(row)) item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
}

int CheckListView::FirstSelectedRow() const {
  int first = -1;
  for (QTreeWidgetItem* item : selectedItems()) {
    const int row = indexOfTopLevelItem(item);
    if (first < 0 || row < first) first = row;
  }
  return first;
}

void CheckListView::SelectRow(int row) {
  QTreeWidgetItem* item = topLevelItem(row);
  if (item == nullptr) return;
  setCurrentItem(item, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  scrollToItem(item);
}

void CheckListView::SetImage(HeaderImage image) {
  image_ = image;
  QTreeWidgetItem* headerRow = headerItem();
  if (image == HeaderImage::None) {
    headerRow->setIcon(0, QIcon());
  } else {
    headerRow->setIcon(0, HeaderIcon(*this, image == HeaderImage::AllChecked));
  }
}

void CheckListView::ToggleAll() {
  if (image_ == HeaderImage::None) return;
  const bool check = image_ == HeaderImage::NoneChecked;
  for (int row = 0; row < RowCount(); ++row) SetChecked(row, check);
  SetImage(check ? HeaderImage::AllChecked : HeaderImage::NoneChecked);
}

void CheckListView::ToggleFirstSelected() {
  const int row = FirstSelectedRow();
  if (row >= 0) SetChecked(row, !IsChecked(row));
}

bool CheckListView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
  if (index.column() != editable_column_) return false;
  return QTreeWidget::edit(index, trigger, event);
}

void CheckListView::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && state() != EditingState) {
    ToggleFirstSelected();
    event->accept();
    return;
  }
  QTreeWidget::keyPressEvent(event);
}

}  // namespace corvane
