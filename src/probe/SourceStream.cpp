#include "probe/SourceStream.h"

#include "engine/AudioFileServices.h"
#include "engine/CAudioEngine.h"
#include "engine/InputTypes.h"
#include "probe/CMP3Info.h"

namespace corvane {
namespace {

// The MP3 check: the header reader must find a confirmed frame, reading from a little before the
// place where the engine sees the audio start. Returns the engine's stream when it passes.
EngineResult<std::unique_ptr<DecodeStream>> OpenCheckedMpeg(const CAudioEngine& engine, const QString& path,
                                                            CMP3Info& mp3) {
  EngineResult<std::unique_ptr<DecodeStream>> opened =
      AudioFileServices::OpenStream(engine, path, InputType::Mpeg, DecodeStream::Mode::Decode);
  if (!opened.Succeeded()) return opened;
  const qint64 start = (*opened.value)->AudioDataStart();
  const qint64 from = start > kMp3CheckLead ? start - kMp3CheckLead : 0;
  if (mp3.Open(path, from, false) && mp3.HasFrame()) return opened;
  return EngineResult<std::unique_ptr<DecodeStream>>::Failure(EngineError::FileFormat);
}

}  // namespace

EngineResult<qint64> OpenSourceStream(const CAudioEngine& engine, const QString& path,
                                      std::unique_ptr<DecodeStream>& stream, CMP3Info& mp3, qint64& size) {
  using Length = EngineResult<qint64>;
  if (!AudioFileServices::IsRegularFile(path)) return Length::Failure(EngineError::FileOpen);
  const EngineResult<InputType> detected = DetectKnownInputType(path);
  if (!detected.Succeeded()) return Length::Failure(detected.status.code);
  const InputType type = *detected.value;
  size = AudioFileServices::FileSize(path);
  stream.reset();

  EngineResult<std::unique_ptr<DecodeStream>> opened =
      type == InputType::Mpeg ? OpenCheckedMpeg(engine, path, mp3)
                              : AudioFileServices::OpenStream(engine, path, type, DecodeStream::Mode::Decode);
  if (!opened.Succeeded()) return Length::Failure(opened.status.code);
  stream = std::move(*opened.value);
  if (type != InputType::Mpeg) mp3.Reset();

  const qint64 lengthMs = AudioFileServices::LengthMs(*stream);
  if (type != InputType::Wma) {
    const qint64 start = stream->AudioDataStart();
    if (start > 0 && size > start) size -= start;
  }
  if (lengthMs == 0) return Length::Failure(EngineError::FileFormat);  // no audio in it
  return Length::Success(lengthMs);
}

}  // namespace corvane
