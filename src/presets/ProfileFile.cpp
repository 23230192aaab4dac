#include "presets/ProfileFile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTemporaryFile>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace corvane {
namespace {

bool SameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

QString Unquote(QString value) {
  value = value.trimmed();
  if (value.size() >= 2) {
    const QChar first = value.front();
    if ((first == QLatin1Char('"') || first == QLatin1Char('\'')) && value.back() == first)
      value = value.mid(1, value.size() - 2);
  }
  return value;
}

// The leading decimal number, with an optional sign; 0 when there is none.
int LeadingNumber(const QString& text) {
  qsizetype end = 0;
  if (end < text.size() && (text[end] == QLatin1Char('-') || text[end] == QLatin1Char('+'))) ++end;
  const qsizetype digitsStart = end;
  while (end < text.size() && text[end].isDigit() && end - digitsStart < 10) ++end;
  if (end == digitsStart) return 0;
  return static_cast<int>(text.left(end).toLongLong());
}

}  // namespace

bool ProfileFile::Load() {
  sections_.clear();
  QFile file(path_);
  if (!file.open(QIODevice::ReadOnly)) return false;
  const QByteArray bytes = file.readAll();
  // Files edited elsewhere may start with a byte-order mark or be in Latin-1.
  QStringDecoder utf8(QStringDecoder::Utf8);
  QString text = utf8.decode(bytes);
  if (utf8.hasError()) text = QString::fromLatin1(bytes);
  if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
  Section* current = &sections_.emplace_back();
  for (QString line : text.split(QLatin1Char('\n'))) {
    if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
    const QString trimmed = line.trimmed();
    if (trimmed.startsWith(QLatin1Char('[')) && trimmed.contains(QLatin1Char(']'))) {
      current = &sections_.emplace_back();
      current->name = trimmed.mid(1, trimmed.indexOf(QLatin1Char(']')) - 1).trimmed();
      current->headed = true;
      continue;
    }
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    const bool comment = trimmed.startsWith(QLatin1Char(';'));
    if (equals > 0 && !comment && !line.left(equals).trimmed().isEmpty()) {
      current->lines.push_back({line.left(equals).trimmed(), line.mid(equals + 1)});
    } else {
      current->lines.push_back({QString(), line});
    }
  }
  // split() leaves one empty piece after the final line break; it is not a line of the file.
  Section& last = sections_.back();
  if (!last.lines.empty() && last.lines.back().key.isEmpty() && last.lines.back().value.isEmpty())
    last.lines.pop_back();
  return true;
}

QByteArray ProfileFile::Serialize() const {
  QString text;
  for (const Section& section : sections_) {
    if (section.headed) text += QLatin1Char('[') + section.name + QStringLiteral("]\n");
    for (const Line& line : section.lines) {
      text += line.key.isEmpty() ? line.value : line.key + QLatin1Char('=') + line.value;
      text += QLatin1Char('\n');
    }
  }
  return text.toUtf8();
}

namespace {

std::filesystem::path NativePath(const QString& path) {
#ifdef Q_OS_WIN
  return std::filesystem::path(path.toStdWString());
#else
  return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

}  // namespace

bool ProfileFile::Save() const {
  const QByteArray bytes = Serialize();
  const QFileInfo target(path_);
  // The temporary file is removed again on every early return.
  QTemporaryFile temp(target.absolutePath() + QLatin1Char('/') + target.fileName() + QStringLiteral(".XXXXXX"));
  if (!temp.open()) return false;
  if (temp.write(bytes) != bytes.size() || !temp.flush()) return false;
#ifdef Q_OS_UNIX
  if (::fsync(temp.handle()) != 0) return false;
#endif
  // A short write (a full disk) is not always reported as an error: trust only the size on disk.
  if (QFileInfo(temp.fileName()).size() != bytes.size()) return false;
  temp.setPermissions(target.exists() ? QFile::permissions(path_)
                                      : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
  temp.close();
  std::error_code error;
  std::filesystem::rename(NativePath(temp.fileName()), NativePath(path_), error);
  if (error) return false;
  temp.setAutoRemove(false);
  return true;
}

const ProfileFile::Section* ProfileFile::FindSection(const QString& name) const {
  for (const Section& section : sections_) {
    if (section.headed && SameName(section.name, name)) return &section;
  }
  return nullptr;
}

ProfileFile::Section& ProfileFile::SectionFor(const QString& name) {
  for (Section& section : sections_) {
    if (section.headed && SameName(section.name, name)) return section;
  }
  Section& added = sections_.emplace_back();
  added.name = name;
  added.headed = true;
  return added;
}

const ProfileFile::Line* ProfileFile::FindKey(const QString& section, const QString& key) const {
  const Section* found = FindSection(section);
  if (!found) return nullptr;
  for (const Line& line : found->lines) {
    if (!line.key.isEmpty() && SameName(line.key, key)) return &line;
  }
  return nullptr;
}

bool ProfileFile::HasSection(const QString& section) const { return FindSection(section) != nullptr; }

QString ProfileFile::ReadText(const QString& section, const QString& key, const QString& fallback) const {
  const Line* line = FindKey(section, key);
  return line ? Unquote(line->value) : fallback;
}

int ProfileFile::ReadNumber(const QString& section, const QString& key, int fallback) const {
  const Line* line = FindKey(section, key);
  return line ? LeadingNumber(Unquote(line->value)) : fallback;
}

void ProfileFile::WriteText(const QString& section, const QString& key, const QString& text) {
  // A line break would end the value early and turn the rest into a line of its own.
  QString value = text;
  value.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
  Section& target = SectionFor(section);
  for (Line& line : target.lines) {
    if (!line.key.isEmpty() && SameName(line.key, key)) {
      line.value = value;
      return;
    }
  }
  // A new key goes after the section's last key, before any blank lines that end the section.
  auto position = target.lines.end();
  while (position != target.lines.begin() && std::prev(position)->key.isEmpty() &&
         std::prev(position)->value.trimmed().isEmpty()) {
    --position;
  }
  target.lines.insert(position, Line{key, value});
}

void ProfileFile::WriteNumber(const QString& section, const QString& key, int value) {
  WriteText(section, key, QString::number(value));
}

}  // namespace corvane
