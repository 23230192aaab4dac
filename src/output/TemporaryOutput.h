#pragma once
#include <QString>
#include <memory>

namespace corvane {

// The file an output is written to before it is complete, in the output's own folder so that
// it can take the output's name without copying.
//
// Where the file system allows it the file has no name at all (O_TMPFILE): it vanishes with the
// process however that ends. A writer that must open the file by name (a child program) gets a
// short name of the form ".corvane-XXXXXXXX.EXT", held under an flock() lock while it is in use;
// SweepFolder removes such files that no process holds any more.
class TemporaryOutput {
 public:
  enum class Commit { Done, Exists, Failed };

  // Creates the file beside `output`; null with `error` (an errno value) when the folder does not
  // take it. `needsName`: the writer opens it by name. The file gets the permissions of a new
  // file, or those of the output it may replace.
  static std::unique_ptr<TemporaryOutput> Create(const QString& output, bool needsName, int& error);
  ~TemporaryOutput();
  TemporaryOutput(const TemporaryOutput&) = delete;
  TemporaryOutput& operator=(const TemporaryOutput&) = delete;

  // The path writers open: the name, or the descriptor's /proc path for an unnamed file.
  QString WritePath() const;
  // Flushes the file to disk and gives it the name `output`. Without `replace` an entry already
  // at that name is never replaced (Exists). Failed sets `error` to the errno value.
  Commit MoveTo(const QString& output, bool replace, int& error);

  // Removes the temporary files in `folder` that no process holds.
  static void SweepFolder(const QString& folder);
  // Whether `fileName` has the form of a named temporary file.
  static bool IsTemporaryName(const QString& fileName);

 private:
  TemporaryOutput() = default;
  Commit LinkUnnamed(const QString& output, bool replace, int& error);
  Commit RenameNamed(const QString& from, const QString& output, bool replace, int& error);

  int fd_ = -1;
  QString name_;  // empty for an unnamed file
  QString folder_;
  QString suffix_;
  bool committed_ = false;
};

}  // namespace corvane
