#pragma once
#include <QString>
#include <vector>

namespace corvane {

// A private profile (INI) file: bracketed section lines and key=value lines. Sections and keys
// are matched without regard to letter case, values are read unquoted and trimmed, the order of
// sections and keys is kept, and numbers are written as plain decimals. Lines that are neither
// (comments, blank lines) are kept as they are.
//
// Edits happen in memory; Save writes the whole file to a temporary file beside it and renames
// that over the old one, so a failed save never leaves a truncated file behind.
class ProfileFile {
 public:
  explicit ProfileFile(QString path) : path_(std::move(path)) {}

  // Reads the file; false when it cannot be opened (the contents are then empty).
  bool Load();
  // Writes the whole contents; false when anything failed, and the old file is then untouched.
  bool Save() const;
  const QString& Path() const { return path_; }

  bool HasSection(const QString& section) const;
  // The value without surrounding blanks and one pair of matching quotes; `fallback` when absent.
  QString ReadText(const QString& section, const QString& key, const QString& fallback = {}) const;
  // The leading decimal number of the value (0 when it has none); `fallback` when absent.
  int ReadNumber(const QString& section, const QString& key, int fallback) const;

  // Replaces the value, or appends the key to its section, or the section to the file.
  void WriteText(const QString& section, const QString& key, const QString& value);
  void WriteNumber(const QString& section, const QString& key, int value);
  // Empties the whole contents (Save then writes an empty file).
  void Clear() { sections_.clear(); }

  // The contents as Save writes them.
  QByteArray Serialize() const;

 private:
  struct Line {
    QString key;    // empty for a kept line that is not key=value
    QString value;  // the raw text after '=' (or the whole kept line)
  };
  struct Section {
    QString name;  // empty for lines before the first section
    bool headed = false;
    std::vector<Line> lines;
  };

  const Section* FindSection(const QString& name) const;
  Section& SectionFor(const QString& name);
  const Line* FindKey(const QString& section, const QString& key) const;

  QString path_;
  std::vector<Section> sections_;
};

}  // namespace corvane
