#include "engine/AudioFileServices.h"

#include <sys/stat.h>

#include <QFile>
#include <cmath>

#include "common/StringTable.h"
#include "common/UserInterface.h"
#include "common/strings/EngineText.h"
#include "engine/CAudioEngine.h"

namespace corvane {
namespace {

constexpr const char* kMediaRuntimeAddress = "https://www.microsoft.com/windows/windowsmedia/download/";

}  // namespace

bool AudioFileServices::IsRegularFile(const QString& path) {
  struct stat info {};
  return ::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

qint64 AudioFileServices::FileSize(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return 0;
  return file.size();
}

EngineResult<std::unique_ptr<DecodeStream>> AudioFileServices::OpenStream(const CAudioEngine& engine,
                                                                          const QString& path, InputType type,
                                                                          DecodeStream::Mode mode) {
  if (type == InputType::OptimFrog && !engine.Provides(EngineLibrary::OptimFrog)) {
    return EngineResult<std::unique_ptr<DecodeStream>>::Failure(QFile::exists(path) ? EngineError::Codec
                                                                                    : EngineError::FileOpen);
  }
  return DecodeStream::Open(path, mode);
}

qint64 AudioFileServices::LengthMs(const AudioStream& stream) {
  const ChannelInfo info = stream.Info();
  const qint64 bytesPerSecond = static_cast<qint64>(info.rate) * info.FrameBytes();
  if (bytesPerSecond <= 0 || stream.LengthBytes() <= 0) return 0;
  return static_cast<qint64>(std::floor(static_cast<double>(stream.LengthBytes()) / bytesPerSecond * 1000.0));
}

EngineResult<qint64> AudioFileServices::OpenPlaybackStream(const CAudioEngine& engine, const QString& path,
                                                           std::unique_ptr<DecodeStream>& stream, qint64& size) {
  size = FileSize(path);
  stream.reset();
  const DecodeStream::Mode mode =
      engine.OutputDeviceFlag() == 1 ? DecodeStream::Mode::Playback : DecodeStream::Mode::Decode;
  EngineResult<std::unique_ptr<DecodeStream>> opened = OpenStream(engine, path, DetectInputType(path), mode);
  if (!opened.Succeeded()) return EngineResult<qint64>::Failure(opened.status.code);
  stream = std::move(*opened.value);
  const qint64 lengthMs = LengthMs(*stream);
  if (lengthMs <= 0) return EngineResult<qint64>::Failure(EngineError::Empty);
  return EngineResult<qint64>::Success(lengthMs);
}

void AudioFileServices::ReportLoadError(IUserInterface& ui, EngineError code, const QString& path) {
  switch (code) {
    case EngineError::Ok:
      return;
    case EngineError::MediaRuntime:
      ui.ShowMessage(StringTable::Text(text::kWmaSupportTitle) + QStringLiteral("\n\n") +
                         StringTable::Text(text::kMediaRuntimeMissing) + QStringLiteral("\n\n") +
                         StringTable::Text(text::kDownloadLink) + QLatin1Char(' ') +
                         QLatin1String(kMediaRuntimeAddress),
                     MessageIcon::Information, MessageButtons::Ok);
      return;
    case EngineError::Protected:
      ui.ShowMessage(StringTable::Format(text::kLoadProtected, {path}), MessageIcon::Error, MessageButtons::Ok);
      return;
    default:
      ui.ShowMessage(StringTable::Format(text::kLoadFailed, {path, ToCode(code)}), MessageIcon::Error,
                     MessageButtons::Ok);
      return;
  }
}

}  // namespace corvane
