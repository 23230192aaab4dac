#include "tags/ReplayGainTags.h"

#include <QFile>

#include <taglib/apefile.h>
#include <taglib/apetag.h>
#include <taglib/asffile.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpcfile.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/vorbisfile.h>
#include <taglib/xiphcomment.h>

#include <cmath>
#include <utility>
#include <vector>

namespace corvane {
namespace {

using Items = std::vector<std::pair<const char*, TagLib::String>>;

TagLib::String Latin(const QString& text) { return TagLib::String(text.toLatin1().constData()); }

Items ItemsOf(const ReplayGainValues& values) {
  Items items{{"REPLAYGAIN_TRACK_GAIN", Latin(GainText(values.track_gain))},
              {"REPLAYGAIN_TRACK_PEAK", Latin(PeakText(values.track_peak))}};
  if (values.album_gain) items.emplace_back("REPLAYGAIN_ALBUM_GAIN", Latin(GainText(*values.album_gain)));
  if (values.album_peak) items.emplace_back("REPLAYGAIN_ALBUM_PEAK", Latin(PeakText(*values.album_peak)));
  return items;
}

QByteArray NameOf(const QString& path) { return QFile::encodeName(path); }

bool TagComments(TagLib::Ogg::XiphComment* comments, const Items& items) {
  if (comments == nullptr) return false;
  for (const auto& [name, value] : items) comments->addField(name, value, true);
  return true;
}

bool TagApe(TagLib::APE::Tag* tag, const Items& items) {
  if (tag == nullptr) return false;
  for (const auto& [name, value] : items) tag->addValue(name, value, true);
  return true;
}

bool TagId3v2(const QString& path, const Items& items) {
  TagLib::MPEG::File file(NameOf(path).constData(), false);
  if (!file.isValid()) return false;
  TagLib::ID3v2::Tag* tag = file.ID3v2Tag(true);
  for (const auto& [name, value] : items) {
    // Readers take either letter case: an older frame of the same name in any case goes.
    while (TagLib::ID3v2::UserTextIdentificationFrame* old =
               TagLib::ID3v2::UserTextIdentificationFrame::find(tag, name)) {
      tag->removeFrame(old);
    }
    const TagLib::String lower(QByteArray(name).toLower().constData());
    while (TagLib::ID3v2::UserTextIdentificationFrame* old =
               TagLib::ID3v2::UserTextIdentificationFrame::find(tag, lower)) {
      tag->removeFrame(old);
    }
    auto* frame = new TagLib::ID3v2::UserTextIdentificationFrame(TagLib::String::Latin1);
    frame->setDescription(name);
    frame->setText(value);
    tag->addFrame(frame);
  }
  // The ID3v2.3 the program writes, and the ID3v1 tag left as it is.
  return file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripNone, TagLib::ID3v2::v3, TagLib::File::DoNotDuplicate);
}

bool TagAsf(const QString& path, const Items& items) {
  TagLib::ASF::File file(NameOf(path).constData(), false);
  if (!file.isValid() || file.tag() == nullptr) return false;
  for (const auto& [name, value] : items) file.tag()->setAttribute(name, TagLib::ASF::Attribute(value));
  return file.save();
}

template <typename File, typename Apply>
bool Save(const QString& path, Apply apply) {
  File file(NameOf(path).constData(), false);
  return file.isValid() && apply(file) && file.save();
}

}  // namespace

QString GainText(double gain) {
  // Rounded first, so that -0.004 is "+0.00 dB" and not "-0.00 dB".
  const double rounded = std::round(gain * 100.0) / 100.0;
  return QStringLiteral("%1%2 dB").arg(rounded < 0 ? QString() : QStringLiteral("+")).arg(rounded, 0, 'f', 2);
}

QString PeakText(double peak) { return QString::number(peak, 'f', 6); }

bool WriteReplayGainTags(const QString& path, GainTagStyle style, const ReplayGainValues& values) {
  const Items items = ItemsOf(values);
  switch (style) {
    case GainTagStyle::None:
      return true;
    case GainTagStyle::FlacComments:
      return Save<TagLib::FLAC::File>(path, [&](auto& file) { return TagComments(file.xiphComment(true), items); });
    case GainTagStyle::OggComments:
      return Save<TagLib::Ogg::Vorbis::File>(path, [&](auto& file) { return TagComments(file.tag(), items); });
    case GainTagStyle::MonkeysApe:
      return Save<TagLib::APE::File>(path, [&](auto& file) { return TagApe(file.APETag(true), items); });
    case GainTagStyle::MusepackApe:
      return Save<TagLib::MPC::File>(path, [&](auto& file) { return TagApe(file.APETag(true), items); });
    case GainTagStyle::Id3v2:
      return TagId3v2(path, items);
    case GainTagStyle::Asf:
      return TagAsf(path, items);
  }
  return false;
}

}  // namespace corvane
