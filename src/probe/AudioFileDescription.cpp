#include "probe/AudioFileDescription.h"

#include <QFileInfo>
#include <QVariant>
#include <memory>

#include "common/StringTable.h"
#include "common/UserInterface.h"
#include "common/strings/FormatText.h"
#include "engine/AudioFileServices.h"
#include "engine/InputTypes.h"
#include "probe/CMP3Info.h"
#include "probe/SourceStream.h"

namespace corvane {
namespace {

// Which values fill a description text, in order.
enum class Fields {
  RateBitsWord,          // rate, bits, channel word
  RateEstimateWord,      // rate, bitrate estimate, channel word
  RateEstimateChannels,  // rate, bitrate estimate, channel count
  RateChannels,          // rate, channel count
};

struct DescriptionRow {
  InputType type;
  int text;
  Fields fields;
};

constexpr DescriptionRow kRows[] = {
    {InputType::Wav, text::kDescribeWav, Fields::RateBitsWord},
    {InputType::OggVorbis, text::kDescribeOgg, Fields::RateEstimateWord},
    {InputType::Aiff, text::kDescribeAiff, Fields::RateEstimateWord},
    {InputType::Flac, text::kDescribeFlac, Fields::RateEstimateChannels},
    {InputType::MonkeysAudio, text::kDescribeMonkeys, Fields::RateEstimateChannels},
    {InputType::Musepack, text::kDescribeMusepack, Fields::RateEstimateChannels},
    {InputType::Ac3, text::kDescribeAc3, Fields::RateEstimateChannels},
    {InputType::Adx, text::kDescribeAdx, Fields::RateEstimateChannels},
    {InputType::Aix, text::kDescribeAix, Fields::RateEstimateChannels},
    {InputType::Aac, text::kDescribeAac, Fields::RateChannels},
    {InputType::Mp4, text::kDescribeMp4, Fields::RateChannels},
    {InputType::WavPack, text::kDescribeWavPack, Fields::RateChannels},
    {InputType::Speex, text::kDescribeSpeex, Fields::RateChannels},
    {InputType::AppleLossless, text::kDescribeAlac, Fields::RateChannels},
    {InputType::CdAudio, text::kDescribeCd, Fields::RateChannels},
    {InputType::Tta, text::kDescribeTta, Fields::RateChannels},
    {InputType::OptimFrog, text::kDescribeOptimFrog, Fields::RateChannels},
};

struct Properties {
  int rate = 0;
  int channels = 0;
  int bits = 16;
  double estimate = 0;  // kbps from the audio size and the length
};

QString ChannelWord(int channels) {
  return StringTable::Text(channels == 1 ? text::kChannelWordMono : text::kChannelWordStereo);
}

QString DescribeMpeg(const CMP3Info& mp3, const Properties& p) {
  const MpegHeader& header = mp3.Header();
  const QString version = StringTable::Text(text::kMpegVersionFirst + header.version);
  const QString mode = StringTable::Text(text::kChannelModeFirst + header.channel_mode);
  if (mp3.IsVbr()) {
    const int mark = mp3.VbrHeaderKind() == CMP3Info::VbrKind::Vbri ? text::kVbriMark : text::kVbrMark;
    return StringTable::Format(text::kDescribeMpegVbr,
                               {version, header.layer, p.rate, p.estimate, StringTable::Text(mark), mode});
  }
  return StringTable::Format(text::kDescribeMpegCbr,
                             {version, header.layer, p.rate, static_cast<double>(header.bitrate), mode});
}

QString DescribeWma(const DecodeStream& stream, const Properties& p) {
  const WmaBitrateInfo wma = ParseWmaBitrate(stream.Tags().wma_block);
  if (!wma.present) return StringTable::Format(text::kDescribeWma, {p.rate, p.estimate, ChannelWord(p.channels)});
  return StringTable::Format(wma.vbr ? text::kDescribeWmaVbr : text::kDescribeWma,
                             {p.rate, static_cast<double>(wma.kbps), ChannelWord(p.channels)});
}

QString DescribeByRow(InputType type, const Properties& p) {
  for (const DescriptionRow& row : kRows) {
    if (row.type != type) continue;
    switch (row.fields) {
      case Fields::RateBitsWord:
        return StringTable::Format(row.text, {p.rate, p.bits, ChannelWord(p.channels)});
      case Fields::RateEstimateWord:
        return StringTable::Format(row.text, {p.rate, p.estimate, ChannelWord(p.channels)});
      case Fields::RateEstimateChannels:
        return StringTable::Format(row.text, {p.rate, p.estimate, p.channels});
      case Fields::RateChannels:
        return StringTable::Format(row.text, {p.rate, p.channels});
    }
  }
  return QString();
}

}  // namespace

WmaBitrateInfo ParseWmaBitrate(const QStringList& block) {
  WmaBitrateInfo info;
  for (const QString& entry : block) {
    const qsizetype equals = entry.indexOf(QLatin1Char('='));
    if (equals < 0) continue;
    const QString name = entry.left(equals);
    const QString value = entry.mid(equals + 1);
    if (name.compare(QLatin1String("ISVBR"), Qt::CaseInsensitive) == 0) {
      info.vbr = value != QLatin1String("0");
    } else if (name.compare(QLatin1String("BITRATE"), Qt::CaseInsensitive) == 0) {
      const qint64 bitsPerSecond = value.toLongLong();
      info.present = bitsPerSecond > 0;
      info.kbps = static_cast<int>(bitsPerSecond / 1000);
    }
  }
  return info;
}

AudioFileDescription DescribeAudioFile(const CAudioEngine& engine, const QString& path, IUserInterface& ui) {
  AudioFileDescription result;
  if (path.isEmpty()) return result;
  if (!AudioFileServices::IsRegularFile(path) && QFileInfo::exists(path)) {
    ui.ShowMessage(path + QStringLiteral(": ") + StringTable::Text(text::kNotARegularFile), MessageIcon::Error,
                   MessageButtons::Ok);
    return result;
  }
  const InputType type = DetectInputType(path);
  CMP3Info mp3;
  std::unique_ptr<DecodeStream> stream;
  const EngineResult<qint64> opened = OpenSourceStream(engine, path, stream, mp3, result.size);
  if (!opened.Succeeded()) {
    AudioFileServices::ReportLoadError(ui, opened.status.code, path);
    return result;
  }
  result.length_ms = *opened.value;

  Properties p;
  if (stream) {
    const ChannelInfo info = stream->Info();
    p.rate = info.rate;
    p.channels = info.channels;
    p.bits = info.Is8Bit() ? 8 : 16;
  } else if (type == InputType::Mpeg) {
    p.rate = mp3.Header().sample_rate;
    p.channels = 2;
  }
  p.estimate = result.size / (result.length_ms / 1000.0 * 125) + 0.5;
  if (p.channels <= 0 || p.rate == 0) return AudioFileDescription();

  if (type == InputType::Mpeg) {
    result.text = DescribeMpeg(mp3, p);
  } else if (type == InputType::Wma && stream) {
    result.text = DescribeWma(*stream, p);
  } else {
    result.text = DescribeByRow(type, p);
  }
  if (type == InputType::CdAudio) result.size = 0;
  result.ok = true;
  return result;
}

}  // namespace corvane
