#include "discimage/CdTextPacks.h"

#include <QByteArray>

#include "discimage/SheetText.h"

namespace corvane {
namespace {

constexpr int kPackBytes = 18;
constexpr int kTextBytes = 12;
constexpr unsigned char kFirstTextType = 0x80;  // title; performer, songwriter, composer, arranger, message follow
constexpr int kTextTypes = 6;

QString* FieldOf(CdTextFields& fields, int type) {
  QString* const all[kTextTypes] = {&fields.title,    &fields.performer, &fields.songwriter,
                                    &fields.composer, &fields.arranger,  &fields.message};
  return all[type];
}

// Hands the NUL-ended strings of one type's text to successive tracks from `first_track` on.
void Distribute(const QByteArray& text, int first_track, int type, CdTextPacks& out) {
  int track = first_track;
  QString previous;
  qsizetype from = 0;
  while (from < text.size() && track <= 99) {
    const qsizetype nul = text.indexOf('\0', from);
    if (nul < 0) break;  // a string cut off by the end of the packs is not kept
    const QByteArray bytes = text.mid(from, nul - from);
    const QString value = bytes == "\t" ? previous : DecodeSheetText(bytes);
    CdTextFields& fields = track == 0 ? out.disc : out.tracks[track];
    if (!value.isEmpty()) *FieldOf(fields, type) = value;
    previous = value;
    from = nul + 1;
    ++track;
  }
}

}  // namespace

CdTextPacks DecodeCdTextPacks(QByteArrayView packs) {
  QByteArray text[kTextTypes];
  int first_track[kTextTypes] = {-1, -1, -1, -1, -1, -1};
  for (qsizetype at = 0; at + kPackBytes <= packs.size(); at += kPackBytes) {
    const auto type = static_cast<unsigned char>(packs[at]);
    const auto track = static_cast<unsigned char>(packs[at + 1]) & 0x7f;
    const auto block_and_position = static_cast<unsigned char>(packs[at + 3]);
    const bool double_byte = (block_and_position & 0x80) != 0;
    const int block = (block_and_position >> 4) & 0x07;
    const int index = type - kFirstTextType;
    if (index < 0 || index >= kTextTypes || block != 0 || double_byte) continue;
    if (first_track[index] < 0) first_track[index] = track;
    text[index].append(packs.sliced(at + 4, kTextBytes).toByteArray());
  }
  CdTextPacks out;
  for (int type = 0; type < kTextTypes; ++type) {
    if (first_track[type] >= 0) Distribute(text[type], first_track[type], type, out);
  }
  return out;
}

}  // namespace corvane
