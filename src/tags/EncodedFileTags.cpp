#include "tags/EncodedFileTags.h"

#include <QFile>

#include <taglib/apetag.h>
#include <taglib/flacfile.h>
#include <taglib/mpcfile.h>
#include <taglib/xiphcomment.h>

#include <algorithm>
#include <array>
#include <utility>

namespace corvane {
namespace {

// A FLAC metadata block holds at most 16 MiB; seven texts of this size fit in one.
constexpr qsizetype kMaxTextBytes = 2 * 1024 * 1024;

// The text as UTF-8, cut at a character boundary to kMaxTextBytes.
TagLib::String Bounded(const QString& text) {
  QByteArray utf8 = text.toUtf8();
  if (utf8.size() > kMaxTextBytes) {
    qsizetype end = kMaxTextBytes;
    while (end > 0 && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) --end;  // continuation bytes
    utf8.truncate(end);
  }
  return TagLib::String(utf8.constData(), TagLib::String::UTF8);
}

using Field = std::pair<const char*, const QString*>;

// The texts under the names both encoders share, then the two they name differently.
std::array<Field, 7> Fields(const SourceTags& tags, const char* year, const char* track) {
  return {{{"TITLE", &tags.title},
           {"ARTIST", &tags.artist},
           {"ALBUM", &tags.album},
           {"GENRE", &tags.genre},
           {"COMMENT", &tags.comment},
           {year, &tags.year},
           {track, &tags.track}}};
}

// Opens the file as `File`, hands every non-empty text to `add` and saves. Without any text the
// file is left as the encoder wrote it (a save would only change its padding).
template <typename File, typename Add>
bool Tag(const QString& path, const std::array<Field, 7>& fields, Add add) {
  if (std::all_of(fields.begin(), fields.end(), [](const Field& field) { return field.second->isEmpty(); })) {
    return true;
  }
  File file(QFile::encodeName(path).constData(), false);
  if (!file.isValid()) return false;
  for (const auto& [name, value] : fields) {
    if (!value->isEmpty()) add(file, name, Bounded(*value));
  }
  return file.save();
}

}  // namespace

bool WriteFlacTags(const QString& path, const SourceTags& tags) {
  return Tag<TagLib::FLAC::File>(path, Fields(tags, "DATE", "TRACKNUMBER"),
                                 [](TagLib::FLAC::File& file, const char* name, const TagLib::String& value) {
                                   file.xiphComment(true)->addField(name, value, true);
                                 });
}

bool WriteMusepackTags(const QString& path, const SourceTags& tags) {
  return Tag<TagLib::MPC::File>(path, Fields(tags, "year", "track"),
                                [](TagLib::MPC::File& file, const char* name, const TagLib::String& value) {
                                  file.APETag(true)->addValue(name, value, true);
                                });
}

}  // namespace corvane
