#pragma once
#include <QHash>
#include <QMutex>
#include <QSet>
#include <QString>

namespace corvane {

// The output names the jobs of one run are writing, so that two sources that would give the
// same output name (x.wav and x.Wav, or a/x.mp3 and b/x.flac into one folder) see each other:
// the second job finds the name taken, as if the output existed already. Shared by every worker.
class OutputClaims {
 public:
  // Records a job writing `path`; true when no other job of the run had claimed it.
  bool Claim(const QString& path);
  void Release(const QString& path);
  // Whether a job of the run is writing `path`.
  bool IsClaimed(const QString& path) const;
  // True the first time it is asked about `folder` (left-over temporaries are removed once).
  bool FirstVisit(const QString& folder);

 private:
  mutable QMutex mutex_;
  QHash<QString, int> claimed_;
  QSet<QString> visited_;
};

}  // namespace corvane
