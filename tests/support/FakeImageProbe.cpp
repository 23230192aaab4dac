#include "support/FakeImageProbe.h"

#include <QFileInfo>

namespace corvane::test {

FakeImageProbe& FakeImageProbe::Raw(const QString& name, qint64 bytes, ImageFileKind kind) {
  ImageFileFacts facts;
  facts.kind = kind;
  facts.audio_bytes = bytes;
  facts.samples = bytes / 4;
  return With(name, facts);
}

FakeImageProbe& FakeImageProbe::Decoded(const QString& name, qint64 samples) {
  ImageFileFacts facts;
  facts.kind = ImageFileKind::Decoded;
  facts.samples = samples;
  return With(name, facts);
}

FakeImageProbe& FakeImageProbe::With(const QString& name, const ImageFileFacts& facts) {
  facts_[name] = facts;
  return *this;
}

ImageFileProbe FakeImageProbe::Probe() const {
  return [facts = facts_, asked = asked_](const QString& path, const QString& declared) {
    const QString name = QFileInfo(path).fileName();
    *asked << name + QLatin1Char(':') + declared;
    const auto found = facts.find(name);
    if (found != facts.end()) return found->second;
    ImageFileFacts missing;
    missing.problem = ImageFileFacts::Problem::Missing;
    return missing;
  };
}

ImageFileProbe RawFileProbe() {
  return [](const QString& path, const QString&) {
    const QFileInfo info(path);
    ImageFileFacts facts;
    if (!info.exists()) {
      facts.problem = ImageFileFacts::Problem::Missing;
    } else if (!info.isFile()) {
      facts.problem = ImageFileFacts::Problem::NotRegular;
    } else {
      facts.audio_bytes = info.size();
      facts.samples = info.size() / 4;
    }
    return facts;
  };
}

}  // namespace corvane::test
