#include "discimage/ImageFileProbe.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include "discimage/DecodedAudioFile.h"
#include "discimage/WaveHeader.h"

namespace corvane {
namespace {

using Problem = ImageFileFacts::Problem;

ImageFileFacts Refused(Problem problem) {
  ImageFileFacts facts;
  facts.problem = problem;
  return facts;
}

ImageFileFacts RawFacts(qint64 size, ImageFileKind kind) {
  ImageFileFacts facts;
  facts.kind = kind;
  facts.audio_bytes = size;
  facts.samples = size / 4;
  return facts;
}

ImageFileFacts DecodedFacts(const QString& path) {
  const std::unique_ptr<DecodedAudioFile> file = DecodedAudioFile::Open(path);
  if (!file) return Refused(Problem::Unreadable);
  const bool lossy = file->StoredBits() == 0;
  if (file->Rate() != 44100 || file->Channels() != 2 || !(lossy || file->StoredBits() == 16))
    return Refused(Problem::NotCdAudio);
  ImageFileFacts facts;
  facts.kind = ImageFileKind::Decoded;
  facts.samples = file->Frames();
  return facts;
}

// Whether a file that is no WAVE file holds raw samples: what a cue sheet calls BINARY, a cdrdao
// DATAFILE, and an AUDIOFILE unless its name says it is compressed audio (cdrdao goes by the name).
bool IsRawType(const QString& declared, const QString& path) {
  static const QStringList kCompressed = {QStringLiteral("flac"), QStringLiteral("mp3"), QStringLiteral("ogg"),
                                          QStringLiteral("ape"), QStringLiteral("wv")};
  if (declared == QLatin1String("AUDIOFILE"))
    return !kCompressed.contains(QFileInfo(path).suffix(), Qt::CaseInsensitive);
  return declared.isEmpty() || declared == QLatin1String("BINARY") || declared == QLatin1String("DATAFILE");
}

}  // namespace

Problem OpenRegularFile(const QString& path, QFile& file) {
  const QByteArray name = QFile::encodeName(path);
  struct stat status {};
  if (::stat(name.constData(), &status) != 0) return errno == ENOENT ? Problem::Missing : Problem::Unreadable;
  if (!S_ISREG(status.st_mode)) return Problem::NotRegular;
  // Opened without blocking and checked again: the name may have been swapped for a FIFO since.
  const int descriptor = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) return Problem::Unreadable;
  if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode) ||
      !file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    ::close(descriptor);
    return Problem::NotRegular;
  }
  return Problem::None;
}

ImageFileFacts ProbeImageFile(const QString& path, const QString& declared) {
  QFile file;
  if (const Problem problem = OpenRegularFile(path, file); problem != Problem::None) return Refused(problem);
  const qint64 size = file.size();
  const auto read = [&file](qint64 offset, qint64 length) {
    return file.seek(offset) ? file.read(length) : QByteArray();
  };
  if (const std::optional<ImageFileFacts> wave = ReadWaveHeader(size, read)) return *wave;
  file.close();
  if (declared == QLatin1String("MOTOROLA")) return RawFacts(size, ImageFileKind::Motorola);
  if (IsRawType(declared, path)) return RawFacts(size, ImageFileKind::Binary);
  return DecodedFacts(path);
}

}  // namespace corvane
