#include "ripper/RipOutputNaming.h"

#include <QDir>
#include <QRegularExpression>
#include <QStringList>

#include "output/FileNameLimit.h"

namespace corvane {
namespace {

const QString kUnderscore = QStringLiteral("_");

bool IsSeparator(QChar c) { return c == u'\\' || c == u'/'; }

QString TwoDigits(int number) { return QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0')); }

// %T %N %A %M replaced from `fields`; `emptyAs` stands in for an empty title, artist or album.
QString FillPattern(QString pattern, const RipNameFields& fields, bool cleanValues, const QString& emptyAs) {
  const auto value = [&](const QString& raw) {
    const QString v = cleanValues ? CleanRipNameValue(raw, false) : raw;
    return v.isEmpty() ? emptyAs : v;
  };
  pattern.replace(QStringLiteral("%T"), value(fields.title));
  pattern.replace(QStringLiteral("%N"), TwoDigits(fields.number));
  pattern.replace(QStringLiteral("%A"), value(fields.artist));
  pattern.replace(QStringLiteral("%M"), value(fields.album));
  return pattern;
}

bool OnlyDots(const QString& name) { return !name.isEmpty() && name.count(u'.') == name.size(); }

}  // namespace

RipPatternParts SplitRipPattern(const QString& pattern) {
  for (qsizetype i = pattern.size() - 1; i >= 0; --i) {
    if (IsSeparator(pattern[i])) return {pattern.left(i + 1), pattern.mid(i + 1)};
  }
  return {QString(), pattern};
}

QString CleanRipNameValue(const QString& value, bool wholeFolderPath) {
  QString cleaned = value.trimmed();
  for (QChar& c : cleaned) {
    const bool separator = c == u'\\' || c == u':';
    if (c == u'/' || c == u'*' || c == u'?' || c == u'"' || c == u'<' || c == u'>' || c == u'|' ||
        c.category() == QChar::Other_Control || (separator && !wholeFolderPath))
      c = u'_';
  }
  return cleaned;
}

QString RipFolderPath(const QString& outputFolder, const QString& folderPattern, const RipNameFields& fields,
                      const QString& defaultWord) {
  const QString filled =
      folderPattern.contains(u'%') ? FillPattern(folderPattern, fields, true, defaultWord) : folderPattern;
  // Each name between separators is cleaned on its own: the pattern's "\" and "/" both separate
  // folders here, and a name may not climb out of the output folder.
  QStringList names;
  for (const QString& part : filled.split(QRegularExpression(QStringLiteral("[\\\\/]")), Qt::SkipEmptyParts)) {
    QString name = CutToNameBytes(CleanRipNameValue(part, true), kMaxNameBytes);
    if (name.isEmpty()) continue;
    if (OnlyDots(name)) name = defaultWord;
    names.append(name);
  }
  QString folder = outputFolder;
  for (const QString& name : names) {
    if (!folder.isEmpty() && !folder.endsWith(u'/')) folder += u'/';
    folder += name;
  }
  if (!names.isEmpty()) folder += u'/';
  return folder;
}

QString RipFilePath(const QString& folder, const QString& filePattern, const RipNameFields& fields, FormatCode format) {
  const QString filled = filePattern.contains(u'%') ? FillPattern(filePattern, fields, false, QString()) : filePattern;
  QString name = CleanRipNameValue(filled, false);
  if (name.isEmpty() || OnlyDots(name)) name = kUnderscore;
  name = FitName(name, catalogue::ExtensionOf(format).toLower());
  if (folder.isEmpty() || folder.endsWith(u'/')) return folder + name;
  return folder + u'/' + name;
}

}  // namespace corvane
