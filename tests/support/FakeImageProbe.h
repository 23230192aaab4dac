#pragma once
// Data files for the disc image readers' tests. FakeImageProbe answers from a table of facts by
// file name (every other name is missing) and records what it was asked, so a reader is tested
// without any file; RawFileProbe stats real files and takes each regular one as raw samples.
#include <QString>
#include <QStringList>
#include <map>
#include <memory>

#include "discimage/DiscImageLayout.h"

namespace corvane::test {

class FakeImageProbe {
 public:
  // A raw file of `bytes` bytes (kind Binary unless told).
  FakeImageProbe& Raw(const QString& name, qint64 bytes, ImageFileKind kind = ImageFileKind::Binary);
  // A file the engine decodes, of `samples` stereo samples.
  FakeImageProbe& Decoded(const QString& name, qint64 samples);
  FakeImageProbe& With(const QString& name, const ImageFileFacts& facts);

  // Answers by the file name of the probed path.
  ImageFileProbe Probe() const;
  // The file names probed so far, with their declared type words ("name:TYPE").
  QStringList Asked() const { return *asked_; }

 private:
  std::map<QString, ImageFileFacts> facts_;
  std::shared_ptr<QStringList> asked_ = std::make_shared<QStringList>();
};

ImageFileProbe RawFileProbe();

}  // namespace corvane::test
