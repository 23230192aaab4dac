#include "discimage/CdTextBlock.h"

#include <cdio/cdio.h>
#include <cdio/cdtext.h>
#include <cdio/disc.h>

#include <iterator>

namespace corvane {
namespace {

struct Field {
  cdtext_field_t field;
  const char* key;
};
constexpr Field kFields[] = {
    {CDTEXT_FIELD_TITLE, "TITLE"},       {CDTEXT_FIELD_PERFORMER, "PERFORMER"}, {CDTEXT_FIELD_SONGWRITER, "SONGWRITER"},
    {CDTEXT_FIELD_COMPOSER, "COMPOSER"}, {CDTEXT_FIELD_ARRANGER, "ARRANGER"},   {CDTEXT_FIELD_MESSAGE, "MESSAGE"},
    {CDTEXT_FIELD_GENRE, "GENRE"}};

void AddLines(const cdtext_t* text, int track, QStringList& lines) {
  for (const Field& field : kFields) {
    const char* value = cdtext_get_const(text, field.field, static_cast<track_t>(track));
    if (value == nullptr || *value == '\0') continue;
    // libcdio hands the fields over as UTF-8, whatever character set the disc used.
    lines << QStringLiteral("%1%2=%3").arg(QLatin1String(field.key)).arg(track).arg(QString::fromUtf8(value));
  }
}

}  // namespace

QStringList ReadCdText(CdIo_t* cdio, int firstTrack, int lastTrack) {
  // Owned by the CdIo object.
  const cdtext_t* text = cdio_get_cdtext(cdio);
  QStringList lines;
  if (text == nullptr) return lines;
  AddLines(text, 0, lines);
  for (int track = firstTrack; track <= lastTrack; ++track) AddLines(text, track, lines);
  return lines;
}

}  // namespace corvane
