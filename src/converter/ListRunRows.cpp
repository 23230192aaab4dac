#include "converter/ListRunRows.h"

namespace corvane {

IRunRows::Row ListRunRows::RowAt(int index) const {
  const ConversionRow& row = list_.Row(index);
  Row result;
  result.folder = row.IsFolder();
  result.name = row.Text(ListColumn::Name);
  result.folder_path = row.Text(ListColumn::FilePath);
  result.input_type = row.InputTypeRow();
  result.sub_folders = row.IncludesSubFolders();
  return result;
}

void ListRunRows::SelectOnly(int index) {
  list_.ClearSelection();
  list_.SelectAndFocus(index);
}

}  // namespace corvane
