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

void SetError(EngineError* out, EngineError error) {
  if (out != nullptr) *out = error;
}

// The MP3 check: the header reader must find a confirmed frame, reading from a little before the
// place where the engine sees the audio start. Returns the engine's stream when it passes.
std::unique_ptr<DecodeStream> OpenCheckedMpeg(const CAudioEngine& engine, const QString& path, CMP3Info& mp3,
                                              EngineError& error) {
  std::unique_ptr<DecodeStream> stream =
      AudioFileServices::OpenStream(engine, path, InputType::Mpeg, DecodeStream::Mode::Decode, error);
  if (!stream) return nullptr;
  const qint64 start = stream->AudioDataStart();
  const qint64 from = start > SourceFileServices::kMp3CheckLead ? start - SourceFileServices::kMp3CheckLead : 0;
  if (mp3.Open(path, from, false) && mp3.HasFrame()) return stream;
  error = EngineError::FileFormat;
  return nullptr;
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

qint64 SourceFileServices::OpenSourceStream(const CAudioEngine& engine, const QString& path,
                                            std::unique_ptr<DecodeStream>& stream, CMP3Info& mp3, qint64& size,
                                            EngineError* error) {
  if (!AudioFileServices::IsRegularFile(path)) {
    SetError(error, EngineError::FileOpen);
    return 0;
  }
  EngineError detectError = EngineError::Ok;
  const InputType type = DetectInputType(path, &detectError);
  if (type == InputType::Unknown) {
    SetError(error, detectError != EngineError::Ok ? detectError : EngineError::FileFormat);
    return 0;
  }
  size = AudioFileServices::FileSize(path);
  stream.reset();

  EngineError openError = EngineError::Ok;
  stream = type == InputType::Mpeg
               ? OpenCheckedMpeg(engine, path, mp3, openError)
               : AudioFileServices::OpenStream(engine, path, type, DecodeStream::Mode::Decode, openError);
  SetError(error, openError);
  if (!stream) return 0;
  if (type != InputType::Mpeg) mp3.Reset();

  const qint64 lengthMs = AudioFileServices::LengthMs(*stream);
  if (type != InputType::Wma) {
    const qint64 start = stream->AudioDataStart();
    if (start > 0 && size > start) size -= start;
  }
  if (lengthMs == 0) SetError(error, EngineError::FileFormat);  // no audio in it
  return lengthMs;
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
  EngineError error = EngineError::Ok;
  const std::unique_ptr<DecodeStream> stream = DecodeStream::Open(path, error);
  if (!stream) return false;
  return ReadSourceTags(stream.get(), tags);
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
