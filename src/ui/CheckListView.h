#pragma once
#include <QList>
#include <QStringList>
#include <QTreeWidget>

#include "common/ColumnSpec.h"

namespace corvane {

// A list with a check box in column 0 of every row, full-row selection and one column whose
// cells the user edits in place. The header of column 0 shows image 2 (every row checked) or
// image 1 (none checked); a click on it flips every row and the image, and new rows are checked
// while it shows image 2. Enter toggles the first selected row's box. Rows alternate white and a
// pale blue.
class CheckListView : public QTreeWidget {
  Q_OBJECT
 public:
  enum class HeaderImage { None = 0, NoneChecked = 1, AllChecked = 2 };

  explicit CheckListView(QWidget* parent = nullptr);

  // Columns with their captions and widths; only `editableColumn` can be edited.
  void SetColumns(const QList<ColumnDef>& columns, int editableColumn);
  // Adds a row with `cells` from column 1 on.
  void AddRow(const QStringList& cells);
  int RowCount() const { return topLevelItemCount(); }
  QString Cell(int row, int column) const;
  bool IsChecked(int row) const;
  void SetChecked(int row, bool checked);
  // -1 when no row is selected.
  int FirstSelectedRow() const;
  // Selects `row` alone, makes it current and scrolls it into view.
  void SelectRow(int row);

  HeaderImage Image() const { return image_; }
  void SetImage(HeaderImage image);
  // A click on the header of column 0.
  void ToggleAll();
  void ToggleFirstSelected();

  static QColor RowColour(int row);
  using QTreeWidget::edit;

 protected:
  bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  int editable_column_ = -1;
  HeaderImage image_ = HeaderImage::AllChecked;
};

}  // namespace corvane
