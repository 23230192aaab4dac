#include "converter/ConversionRow.h"

#include <QFileInfo>

#include "common/PathJoin.h"
#include "common/StringTable.h"
#include "common/strings/ConverterText.h"
#include "engine/InputTypes.h"
#include "probe/AudioFileDescription.h"

namespace corvane {
namespace {

QString YesNo(bool yes) { return StringTable::Text(yes ? text::kListYes : text::kListNo); }

}  // namespace

ConversionRow ConversionRow::ForFile(const QString& name, const QString& folder, const AudioFileDescription& probe) {
  ConversionRow row;
  row.SetText(ListColumn::Name, name);
  row.SetText(ListColumn::Length, FormatLength(probe.length_ms));
  // The whole file, whatever part of it the probe counted as audio; nothing for a CD track.
  row.SetText(ListColumn::Size, FormatSize(probe.size > 0 ? QFileInfo(JoinPath(folder, name)).size() : 0));
  row.SetText(ListColumn::Status, StringTable::Text(text::kLoaded));
  row.SetText(ListColumn::AudioInfo, probe.text);
  row.SetText(ListColumn::SubFolders, StringTable::Text(text::kNotAvailable));
  row.SetText(ListColumn::FilePath, folder);
  return row;
}

ConversionRow ConversionRow::ForFolder(const QString& name, const QString& path, int typeRow, bool subFolders) {
  ConversionRow row;
  row.SetText(ListColumn::Name, name);
  row.SetText(ListColumn::Length, StringTable::Text(text::kNotAvailable));
  row.SetText(ListColumn::Status, StringTable::Text(text::kFolder));
  row.SetText(ListColumn::FilePath, path);
  row.SetFolderChoice(typeRow, subFolders);
  return row;
}

void ConversionRow::SetNumber(int index) { SetText(ListColumn::Number, QString::asprintf("%02d", index + 1)); }

void ConversionRow::SetFolderChoice(int typeRow, bool subFolders) {
  SetText(ListColumn::AudioInfo, ConvertTypeText(typeRow));
  SetText(ListColumn::SubFolders, YesNo(subFolders));
}

bool ConversionRow::IsFolder() const { return Text(ListColumn::Length) == StringTable::Text(text::kNotAvailable); }

int ConversionRow::InputTypeRow() const {
  const QString& info = Text(ListColumn::AudioInfo);
  const qsizetype open = info.indexOf(QLatin1Char('<'));
  const qsizetype close = info.lastIndexOf(QLatin1Char('>'));
  if (open < 0 || close < 0 || close < open) return 0;
  return InputTypes::RowOfListText(info.mid(open + 1, close - open - 1).trimmed());
}

bool ConversionRow::IncludesSubFolders() const {
  return Text(ListColumn::SubFolders) == StringTable::Text(text::kListYes);
}

QString ConversionRow::SourcePath() const {
  if (IsFolder()) return Text(ListColumn::FilePath);
  return JoinPath(Text(ListColumn::FilePath), Text(ListColumn::Name));
}

QString FormatLength(qint64 milliseconds) {
  const qint64 seconds = std::max<qint64>(milliseconds, 0) / 1000;
  return QString::asprintf("%lld:%02d:%02d", seconds / 3600, static_cast<int>(seconds / 60 % 60),
                           static_cast<int>(seconds % 60));
}

qint64 ParseLength(const QString& text) {
  const QStringList parts = text.split(QLatin1Char(':'));
  if (parts.size() != 3) return 0;
  qint64 seconds = 0;
  for (const QString& part : parts) {
    bool ok = false;
    const int value = part.toInt(&ok);
    if (!ok || value < 0) return 0;
    seconds = seconds * 60 + value;
  }
  return seconds * 1000;
}

QString FormatSize(qint64 bytes) {
  if (bytes <= 0) return StringTable::Text(text::kNotAvailable);
  const double kilobytes = static_cast<double>(bytes) / 1024;
  if (kilobytes < 1024) return StringTable::Format(text::kSizeKb, {kilobytes});
  return StringTable::Format(text::kSizeMb, {kilobytes / 1024});
}

QString ConvertTypeText(int typeRow) {
  return StringTable::Format(text::kConvertType, {InputTypes::ListText(typeRow)});
}

}  // namespace corvane
