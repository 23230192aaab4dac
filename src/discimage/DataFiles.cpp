#include "discimage/DataFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <map>
#include <memory>
#include <utility>

#include "common/StringTable.h"
#include "common/strings/DiscImageText.h"

namespace corvane {
namespace {

// Tried in this order when a named file is missing.
const char* const kAudioExtensions[] = {"flac", "wav", "ape",  "wv",  "tta", "aiff", "aif",
                                        "m4a",  "ogg", "opus", "mp3", "bin", "raw",  "tak"};

QString FolderRelativeName(QString name) {
  name.replace(QLatin1Char('\\'), QLatin1Char('/'));
  static const QRegularExpression kDrive(QStringLiteral("^[A-Za-z]:"));
  const QString cleaned = QDir::cleanPath(name);
  const bool leaves = name.startsWith(QLatin1Char('/')) || kDrive.match(name).hasMatch() ||
                      cleaned == QLatin1String("..") || cleaned.startsWith(QLatin1String("../"));
  if (!leaves) return cleaned;
  return cleaned.section(QLatin1Char('/'), -1);
}

// A file in `folder` that differs from `file_name` only in letter case, or in its audio
// extension; empty when there is none.
QString SimilarFile(const QDir& folder, const QString& file_name) {
  const QStringList entries =
      folder.entryList(QDir::Files | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
  for (const QString& entry : entries) {
    if (entry.compare(file_name, Qt::CaseInsensitive) == 0) return folder.filePath(entry);
  }
  const QString base = QFileInfo(file_name).completeBaseName();
  for (const char* extension : kAudioExtensions) {
    const QString wanted = base + QLatin1Char('.') + QLatin1String(extension);
    for (const QString& entry : entries) {
      if (entry.compare(wanted, Qt::CaseInsensitive) == 0) return folder.filePath(entry);
    }
  }
  return {};
}

}  // namespace

ResolvedDataFile ResolveDataFile(const QString& name, const QString& folder, const QString& declared,
                                 const ImageFileProbe& probe) {
  const QString relative = FolderRelativeName(name);
  const QString path = QDir::cleanPath(QDir(folder).filePath(relative));
  ResolvedDataFile named{path, probe(path, declared)};
  if (named.facts.problem != ImageFileFacts::Problem::Missing || relative.isEmpty()) return named;
  const QFileInfo info(path);
  const QString similar = SimilarFile(info.dir(), info.fileName());
  if (similar.isEmpty() || similar == path) return named;
  ResolvedDataFile found{similar, probe(similar, declared)};
  return found.facts.problem == ImageFileFacts::Problem::Missing ? named : found;
}

ImageFileProbe RememberingProbe(const ImageFileProbe& probe) {
  auto answers = std::make_shared<std::map<std::pair<QString, QString>, ImageFileFacts>>();
  return [probe, answers](const QString& path, const QString& declared) {
    const auto key = std::make_pair(path, declared);
    const auto known = answers->find(key);
    if (known != answers->end()) return known->second;
    return answers->emplace(key, probe(path, declared)).first->second;
  };
}

std::optional<QString> DataFileProblem(int line, const QString& name, const ImageFileFacts& facts) {
  switch (facts.problem) {
    case ImageFileFacts::Problem::Missing:
      return StringTable::Format(text::kDataFileMissing, {line, name});
    case ImageFileFacts::Problem::NotRegular:
      return StringTable::Format(text::kDataFileNotRegular, {line, name});
    case ImageFileFacts::Problem::Unreadable:
      return StringTable::Format(text::kDataFileUnreadable, {line, name});
    case ImageFileFacts::Problem::NotCdAudio:
      return StringTable::Format(text::kDataFileNotCdAudio, {line, name});
    case ImageFileFacts::Problem::None:
      break;
  }
  const bool decoded = facts.kind == ImageFileKind::Decoded;
  if ((decoded ? facts.samples : facts.audio_bytes) <= 0 || facts.audio_offset < 0)
    return StringTable::Format(text::kDataFileEmpty, {line, name});
  return std::nullopt;
}

}  // namespace corvane
