#include "formats/OutputFormatCatalogue.h"

#include <algorithm>

#include "common/StringTable.h"
#include "common/strings/FormatText.h"

namespace corvane::catalogue {
namespace {

template <typename Table, typename Value>
int PositionIn(const Table& table, Value value) {
  const auto found = std::find(table.begin(), table.end(), value);
  return found == table.end() ? -1 : static_cast<int>(found - table.begin());
}

}  // namespace

int PositionOfFormat(int code) {
  for (std::size_t i = 0; i < kFormats.size(); ++i) {
    if (static_cast<int>(kFormats[i].code) == code) return static_cast<int>(i);
  }
  return -1;
}

int PositionOfSampleRate(int rate) { return PositionIn(kSampleRates, rate); }
int PositionOfBitrate(int kbps) { return PositionIn(kBitrates, kbps); }

const OutputFormatInfo* FormatAt(int position) {
  if (position < 0 || position >= static_cast<int>(kFormats.size())) return nullptr;
  return &kFormats[static_cast<std::size_t>(position)];
}

const OutputFormatInfo* FindFormat(int code) { return FormatAt(PositionOfFormat(code)); }

QString ExtensionOf(int code) {
  const OutputFormatInfo* format = FindFormat(code);
  return format ? QString::fromLatin1(format->extension) : QString();
}

QString NameOf(int code) {
  const OutputFormatInfo* format = FindFormat(code);
  return format ? QString::fromLatin1(format->name) : QString();
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
  for (const char* codec : kWavCodecs) texts << QString::fromLatin1(codec);
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
