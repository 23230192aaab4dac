#include "formats/OutputFormatCatalogue.h"

#include <algorithm>

#include "common/StringTable.h"
#include "common/strings/FormatText.h"
#include "formats/EncodeSettings.h"

namespace corvane::catalogue {
namespace {

// The sample rates the Musepack encoder takes.
constexpr int kMusepackLowRate = 44100;
constexpr int kMusepackHighRate = 48000;

template <typename Table, typename Value>
int PositionIn(const Table& table, Value value) {
  const auto found = std::find(table.begin(), table.end(), value);
  return found == table.end() ? -1 : static_cast<int>(found - table.begin());
}

}  // namespace

int PositionOfFormat(FormatCode code) {
  for (std::size_t i = 0; i < kFormats.size(); ++i) {
    if (kFormats[i].code == code) return static_cast<int>(i);
  }
  return -1;
}

int PositionOfSampleRate(int rate) { return PositionIn(kSampleRates, rate); }
int PositionOfBitrate(int kbps) { return PositionIn(kBitrates, kbps); }

const OutputFormatInfo* FormatAt(int position) {
  if (position < 0 || position >= static_cast<int>(kFormats.size())) return nullptr;
  return &kFormats[static_cast<std::size_t>(position)];
}

const OutputFormatInfo* FindFormat(FormatCode code) { return FormatAt(PositionOfFormat(code)); }

const OutputFormatInfo* FindFormatByExtension(const QString& name) {
  for (const OutputFormatInfo& format : kFormats) {
    if (name.compare(QLatin1String(format.extension + 1), Qt::CaseInsensitive) == 0) return &format;
  }
  return nullptr;
}

const WavCodecInfo* FindWavCodecByOption(const QString& name) {
  for (const WavCodecInfo& codec : kWavCodecs) {
    if (name.compare(QLatin1String(codec.option), Qt::CaseInsensitive) == 0) return &codec;
  }
  return nullptr;
}

QString ExtensionOf(FormatCode code) {
  const OutputFormatInfo* format = FindFormat(code);
  return format ? QString::fromLatin1(format->extension) : QString();
}

QString NameOf(FormatCode code) {
  const OutputFormatInfo* format = FindFormat(code);
  return format ? QString::fromLatin1(format->name) : QString();
}

EncoderInput InputFor(const EncodeSettings& settings, int sourceRate, int sourceChannels) {
  switch (settings.format) {
    case FormatCode::Flac:  // flac takes any rate and channel count as they are
      return {false, sourceRate, sourceChannels};
    case FormatCode::Ape:
      return {true, sourceRate, std::min(sourceChannels, 2)};
    case FormatCode::Musepack: {
      // mpcenc takes 44.1 or 48 kHz and at most two channels.
      const bool rateTaken = sourceRate == kMusepackHighRate || sourceRate == kMusepackLowRate;
      return {!rateTaken || sourceChannels > 2, sourceRate == kMusepackHighRate ? kMusepackHighRate : kMusepackLowRate,
              std::min(sourceChannels, 2)};
    }
    default:
      return {true, settings.sample_rate, settings.channels};
  }
}

OutputTags TagsOf(FormatCode code) {
  const OutputFormatInfo* format = FindFormat(code);
  return format ? format->tags : OutputTags::None;
}

bool WriterNeedsName(FormatCode code) {
  // flac writes its output itself, by name; every other writer takes an unnamed file.
  const OutputFormatInfo* format = FindFormat(code);
  return format != nullptr && format->backend == EncoderBackend::FlacProgram;
}

bool EncoderObjectWrites(FormatCode code) {
  const OutputFormatInfo* format = FindFormat(code);
  return format != nullptr &&
         (format->backend == EncoderBackend::ConverterComponent || format->backend == EncoderBackend::EngineWma);
}

QStringList FormatNames() {
  QStringList names;
  for (const OutputFormatInfo& format : kFormats) names << QString::fromLatin1(format.name);
  return names;
}

QStringList SampleRateTexts() {
  QStringList texts;
  for (int rate : kSampleRates) texts << QString::number(rate);
  return texts;
}

QStringList WavCodecTexts() {
  QStringList texts;
  for (const WavCodecInfo& codec : kWavCodecs) texts << QString::fromLatin1(codec.name);
  return texts;
}

QStringList MusepackPresetTexts() {
  QStringList texts;
  for (std::size_t i = 0; i < kMusepackPresets.size(); ++i) {
    texts << StringTable::Format(text::kMusepackPresetEntry,
                                 {static_cast<int>(i), QString::fromLatin1(kMusepackPresets[i])});
  }
  return texts;
}

QStringList Mp3VbrQualityTexts() {
  QStringList texts;
  for (int i = 0; i < kMp3VbrQualityCount; ++i) {
    QString entry = StringTable::Format(text::kMp3VbrQualityEntry, {i});
    if (i == 0) entry += StringTable::Text(text::kBestSuffix);
    if (i == kMp3VbrQualityCount - 1) entry += StringTable::Text(text::kWorstSuffix);
    texts << entry;
  }
  return texts;
}

}  // namespace corvane::catalogue
