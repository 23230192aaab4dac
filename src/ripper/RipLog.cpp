#include "ripper/RipLog.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>
#include <utility>

#include "common/StringTable.h"
#include "common/strings/RipperText.h"
#include "output/FileNameLimit.h"
#include "ripper/RipOutputNaming.h"
#include "ripper/RipperSettingsValues.h"

namespace corvane {
namespace {

// Longest album part of a log's name in bytes, leaving room for " (n).log" and the saving file's
// temporary suffix below the longest name a file may have.
constexpr qsizetype kMaxAlbumBytes = kMaxNameBytes - 55;

// A value as one line of the log: a title with a line break in it cannot start a field of its own.
QString OneLine(QString value) {
  for (QChar& c : value)
    if (c.unicode() < 0x20 || c.unicode() == 0x7F) c = u' ';
  return value;
}

// Label and value pairs written as "label:" padded to the longest label, then the value.
class Fields {
 public:
  explicit Fields(QString indent = {}) : indent_(std::move(indent)) {}
  Fields& Add(int label, const QString& value) {
    rows_.emplace_back(StringTable::Text(label) + u':', OneLine(value));
    return *this;
  }
  // Only a value there is: the loudness lines of a rip without ReplayGain stay out.
  Fields& AddGiven(int label, const QString& value) { return value.isEmpty() ? *this : Add(label, value); }
  void AppendTo(QString& out) const {
    qsizetype width = 0;
    for (const auto& row : rows_) width = std::max(width, row.first.size());
    for (const auto& [label, value] : rows_) out += indent_ + label.leftJustified(width + 1) + value + u'\n';
  }

 private:
  QString indent_;
  std::vector<std::pair<QString, QString>> rows_;
};

QString Hex(const std::optional<quint32>& value) {
  if (!value) return StringTable::Text(text::kRipLogNotComputed);
  return ChecksumText(*value);
}

QString Signed(int number) { return number > 0 ? u'+' + QString::number(number) : QString::number(number); }

}  // namespace

QString ChecksumText(quint32 value) { return QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0')).toUpper(); }

QString FormatRipLog(const RipLogData& data) {
  QString out = StringTable::Format(text::kRipLogTitle, {data.program, data.version}) + u'\n';
  const QDateTime date = data.date.isValid() ? data.date : QDateTime::currentDateTime();
  Fields disc;
  disc.Add(text::kRipLogDate, date.toOffsetFromUtc(date.offsetFromUtc()).toString(Qt::ISODate))
      .Add(text::kRipLogDrive, data.drive)
      .Add(text::kRipLogReadOffset, Signed(data.read_offset))
      .Add(text::kRipLogGrabMode,
           StringTable::Text(text::kGrabModeFastRadio +
                             RipperSettingsValues::RadioOf(RipperSettingsValues::GrabModeOf(data.grab_mode_preset))))
      .Add(text::kRipLogRetries, QString::number(data.retries))
      .Add(text::kRipLogErrorAction,
           StringTable::Text(text::kErrorActionStopRadio +
                             RipperSettingsValues::RadioOf(RipperSettingsValues::ErrorActionOf(data.error_action))))
      .Add(text::kRipLogFormat, data.output_format)
      .Add(text::kRipLogDiscId, data.accurate_rip_id)
      .Add(text::kRipLogCddbId, data.cddb_id)
      .Add(text::kRipLogDatabase, data.database_status)
      .AddGiven(text::kRipLogAlbumLoudness, data.album_loudness)
      .AddGiven(text::kRipLogAlbumGain, data.album_gain)
      .AddGiven(text::kRipLogAlbumPeak, data.album_peak);
  out += u'\n';
  disc.AppendTo(out);
  for (const RipLogTrack& track : data.tracks) {
    out += u'\n' + StringTable::Format(text::kRipLogTrack, {track.number}) + u'\n';
    Fields fields(QStringLiteral("  "));
    fields.Add(text::kRipLogTitleField, track.title)
        .Add(text::kRipLogFile, track.file)
        .Add(text::kRipLogReadErrors, QString::number(track.read_errors))
        .Add(text::kRipLogWorstRetries, QString::number(track.worst_retries))
        .Add(text::kRipLogCrc, Hex(track.crc32))
        .Add(text::kRipLogV1, Hex(track.v1))
        .Add(text::kRipLogV2, Hex(track.v2))
        .Add(text::kRipLogVerdict, track.verdict)
        .AddGiven(text::kRipLogLoudness, track.loudness)
        .AddGiven(text::kRipLogGain, track.gain)
        .AddGiven(text::kRipLogPeak, track.peak);
    fields.AppendTo(out);
  }
  if (!data.summary.isEmpty()) out += u'\n' + OneLine(data.summary) + u'\n';
  return out;
}

bool WriteRipLog(const QString& path, const RipLogData& data) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  const QByteArray bytes = FormatRipLog(data).toUtf8();
  if (file.write(bytes) != bytes.size()) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

QString FreeRipLogPath(const QString& folder, const QString& album) {
  QString name = CutToNameBytes(CleanRipNameValue(album, false), kMaxAlbumBytes);
  // Only dots (or nothing) would name no file, or a hidden one.
  if (QString(name).remove(u'.').isEmpty()) name = StringTable::Text(text::kRipLogDefaultName);
  const QDir dir(folder);
  const auto taken = [](const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
  };
  const QString first = dir.filePath(name + QStringLiteral(".log"));
  QString path = first;
  for (int n = 2; taken(path); ++n) path = NumberedPath(first, n);
  return path;
}

}  // namespace corvane
