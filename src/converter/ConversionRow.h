#pragma once
#include <QString>
#include <array>

namespace corvane {

struct AudioFileDescription;

// The eight columns of the conversion list, in the order of the column specification.
enum class ListColumn : int { Number = 0, Name, Length, Size, Status, AudioInfo, SubFolders, FilePath };
inline constexpr int kListColumnCount = 8;

// One row of the conversion list: nothing but its eight texts. Everything else about the row is
// read back from them, so what the user sees is what a run converts: a folder row is one whose
// "Length" is "n/a", its input type is the name between "<" and ">" of "Audio Info.", its
// sub-folder flag is "Sub-folders" reading "Yes", and a file's path is "File Path" + name.
class ConversionRow {
 public:
  // A file row: `folder` ends with a separator; number and status are filled by the list.
  static ConversionRow ForFile(const QString& name, const QString& folder, const AudioFileDescription& probe);
  // A folder row for `path` (shown as `name`) with the input type row and the sub-folder flag.
  static ConversionRow ForFolder(const QString& name, const QString& path, int typeRow, bool subFolders);

  const QString& Text(ListColumn column) const { return texts_[static_cast<int>(column)]; }
  void SetText(ListColumn column, const QString& text) { texts_[static_cast<int>(column)] = text; }
  void SetNumber(int index);

  bool IsFolder() const;
  // The input type row (0..27) named in "Audio Info."; 0 when no name matches.
  int InputTypeRow() const;
  bool IncludesSubFolders() const;
  // The file row's source file, or the folder row's folder.
  QString SourcePath() const;
  // "Convert <%s>" and "Yes"/"No" for a folder row's choice.
  void SetFolderChoice(int typeRow, bool subFolders);

 private:
  std::array<QString, kListColumnCount> texts_;
};

// "%d:%02d:%02d" of the whole seconds in `milliseconds`.
QString FormatLength(qint64 milliseconds);
// The milliseconds of a "Length" text written by FormatLength; 0 for any other text ("n/a").
qint64 ParseLength(const QString& text);
// "%.0f KB" below 1024 KB, "%.1f MB" from there on, "n/a" for an empty (or unknown) size.
QString FormatSize(qint64 bytes);
// "Convert <%s>" with the name of input type row `typeRow` (empty outside 0..27).
QString ConvertTypeText(int typeRow);

}  // namespace corvane
