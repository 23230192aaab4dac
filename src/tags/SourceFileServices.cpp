#include "tags/SourceFileServices.h"

#include <QRegularExpression>

#include "engine/InputTypes.h"
#include "tags/Id3Genres.h"
#include "tags/TextNumbers.h"

namespace corvane {
namespace {

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
