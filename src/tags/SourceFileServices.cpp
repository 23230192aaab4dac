#include "tags/SourceFileServices.h"

#include <QRegularExpression>

#include "engine/AudioFileServices.h"
#include "engine/CAudioEngine.h"
#include "engine/InputTypes.h"
#include "probe/CMP3Info.h"
#include "tags/Id3Genres.h"
#include "tags/TextNumbers.h"

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
  const qint64 from = start > SourceFileServices::kMp3CheckLead ? start - SourceFileServices::kMp3CheckLead : 0;
  if (mp3.Open(path, from, false) && mp3.HasFrame()) return opened;
  return EngineResult<std::unique_ptr<DecodeStream>>::Failure(EngineError::FileFormat);
}

// "(17)" names genre 17 of the ID3v1 list (a number outside it gives no genre); any other text
// stays as it is.
QString ResolveGenreNumber(const QString& genre) {
  static const QRegularExpression numbered(QStringLiteral("^\\((\\d+)\\)$"));
  const QRegularExpressionMatch match = numbered.match(genre);
  if (!match.hasMatch()) return genre;
  bool ok = false;
  const int index = match.captured(1).toInt(&ok);
  return ok ? Id3Genres::Name(index) : QString();
}

// A number of the tag component: 0 stands for "not set".
QString NumberText(qint64 value) { return value > 0 ? QString::number(value) : QString(); }

}  // namespace

EngineResult<qint64> SourceFileServices::OpenSourceStream(const CAudioEngine& engine, const QString& path,
                                                          std::unique_ptr<DecodeStream>& stream, CMP3Info& mp3,
                                                          qint64& size) {
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

bool SourceFileServices::ReadFileTags(const QString& path, SourceTags& tags, const TagComponentFactory& factory) {
  if (DetectInputType(path) == InputType::Wav) {
    tags.Clear();
    const std::unique_ptr<ITagComponent> component = factory ? factory() : nullptr;
    if (!component) return false;
    component->LoadTags(path);
    tags.title = component->Title();
    tags.album = component->Album();
    tags.artist = component->Artist();
    tags.comment = component->Comment();
    tags.genre = ResolveGenreNumber(component->Genre());
    tags.year = NumberText(component->Year());
    tags.track = NumberText(component->Track());
    return true;
  }
  const EngineResult<std::unique_ptr<DecodeStream>> opened = DecodeStream::Open(path);
  if (!opened.Succeeded()) return false;
  return ReadSourceTags(opened.value->get(), tags);
}

bool SourceFileServices::WriteFileTags(const QString& path, const SourceTags& tags,
                                       const TagComponentFactory& factory) {
  const std::unique_ptr<ITagComponent> component = factory ? factory() : nullptr;
  if (!component) return false;
  component->SetTitle(tags.title);
  component->SetAlbum(tags.album);
  component->SetArtist(tags.artist);
  component->SetComment(tags.comment);
  component->SetGenre(tags.genre);
  const int genreIndex = Id3Genres::IndexOf(tags.genre);
  component->SetGenreIndex(static_cast<qint16>(genreIndex == Id3Genres::kNone ? kNoGenreIndex : genreIndex));
  component->SetYear(LeadingInteger(tags.year));
  component->SetTrack(LeadingInteger(tags.track));
  component->SetTagKind(ITagComponent::kPlayerTags);
  return component->SaveTags(path);
}

}  // namespace corvane
