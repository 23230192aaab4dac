#include "cli/OutputOptions.h"

#include <algorithm>

#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "formats/OutputFormatCatalogue.h"
#include "presets/COutputQualityMgmt.h"

namespace corvane::cli {
namespace {

struct FormatName {
  const char* option;
  FormatCode code;
};

constexpr FormatName kFormatNames[] = {
    {"mp3", FormatCode::Mp3},   {"wav", FormatCode::Wav}, {"ogg", FormatCode::Ogg},      {"wma", FormatCode::Wma},
    {"flac", FormatCode::Flac}, {"ape", FormatCode::Ape}, {"mpc", FormatCode::Musepack}, {"vox", FormatCode::Vox}};
constexpr const char* kWavCodecs[] = {"pcm", "adpcm", "alaw", "ulaw"};

bool ReadInt(const QCommandLineParser& parser, const QString& name, int& value, QString& error) {
  if (!parser.isSet(name)) return true;
  bool ok = false;
  value = parser.value(name).toInt(&ok);
  if (!ok) error = QStringLiteral("--%1 takes a whole number, not '%2'").arg(name, parser.value(name));
  return ok;
}

template <typename Table>
bool InTable(const Table& table, int value) {
  return std::find(table.begin(), table.end(), value) != table.end();
}

}  // namespace

void AddOutputOptions(QCommandLineParser& parser) {
  parser.addOptions({
      {QStringLiteral("preset"), QStringLiteral("Output quality preset (default: the converter's last one)."),
       QStringLiteral("NAME")},
      {QStringLiteral("format"), QStringLiteral("mp3, wav, ogg, wma, flac, ape, mpc or vox."), QStringLiteral("FMT")},
      {QStringLiteral("rate"), QStringLiteral("Sample rate in Hz."), QStringLiteral("HZ")},
      {QStringLiteral("bitrate"), QStringLiteral("Bitrate in kbps."), QStringLiteral("KBPS")},
      {QStringLiteral("channels"), QStringLiteral("1 or 2."), QStringLiteral("N")},
      {QStringLiteral("bits"), QStringLiteral("8 or 16 (WAV PCM)."), QStringLiteral("N")},
      {QStringLiteral("vbr"), QStringLiteral("Variable bitrate (MP3).")},
      {QStringLiteral("vbr-quality"), QStringLiteral("MP3 VBR quality, 0 (best) to 9."), QStringLiteral("Q")},
      {QStringLiteral("wav-codec"), QStringLiteral("pcm, adpcm, alaw or ulaw."), QStringLiteral("CODEC")},
      {QStringLiteral("mpc-preset"), QStringLiteral("telephone, thumb, radio, standard, xtreme, insane, braindead."),
       QStringLiteral("NAME")},
      {QStringLiteral("wma-quality"), QStringLiteral("WMA VBR quality 1-100 (turns VBR on)."), QStringLiteral("Q")},
  });
}

bool OutputSettingsFrom(const QCommandLineParser& parser, const COutputQualityMgmt& presets,
                        const SettingsStore& stored, EncodeSettings& settings, QString& error,
                        const QString& defaultPreset) {
  QString name = defaultPreset;
  if (parser.isSet(QStringLiteral("preset"))) {
    name = parser.value(QStringLiteral("preset"));
  } else if (name.isEmpty()) {
    name = stored.ReadText(keys::section::kConvert, keys::kOutputQualityName, QStringLiteral("CD Quality"));
  }
  int found = -1;
  for (int i = 0; i < presets.Count() && found < 0; ++i) {
    if (presets.At(i).name == name) found = i;
  }
  if (found < 0 && parser.isSet(QStringLiteral("preset"))) {
    error = QStringLiteral("no output quality preset is named '%1' (see: corvane-cli presets list)").arg(name);
    return false;
  }
  if (found >= 0) settings = presets.At(found).settings;
  if (found < 0 && presets.Count() > 0) settings = presets.At(0).settings;

  if (parser.isSet(QStringLiteral("format"))) {
    const QString wanted = parser.value(QStringLiteral("format")).toLower();
    const auto* match = std::find_if(std::begin(kFormatNames), std::end(kFormatNames),
                                     [&wanted](const FormatName& f) { return wanted == QLatin1String(f.option); });
    if (match == std::end(kFormatNames)) {
      error = QStringLiteral("unknown format '%1'").arg(wanted);
      return false;
    }
    settings.format = static_cast<int>(match->code);
  }
  if (!ReadInt(parser, QStringLiteral("rate"), settings.sample_rate, error) ||
      !ReadInt(parser, QStringLiteral("bitrate"), settings.bitrate, error) ||
      !ReadInt(parser, QStringLiteral("channels"), settings.channels, error) ||
      !ReadInt(parser, QStringLiteral("bits"), settings.bits, error) ||
      !ReadInt(parser, QStringLiteral("vbr-quality"), settings.mp3_vbr_quality, error)) {
    return false;
  }
  if (parser.isSet(QStringLiteral("wma-quality"))) {
    if (!ReadInt(parser, QStringLiteral("wma-quality"), settings.wma_quality, error)) return false;
    settings.vbr_enabled = 1;
  }
  if (parser.isSet(QStringLiteral("vbr"))) settings.vbr_enabled = 1;
  if (parser.isSet(QStringLiteral("wav-codec"))) {
    const QString codec = parser.value(QStringLiteral("wav-codec")).toLower();
    const auto* match = std::find_if(std::begin(kWavCodecs), std::end(kWavCodecs),
                                     [&codec](const char* c) { return codec == QLatin1String(c); });
    if (match == std::end(kWavCodecs)) {
      error = QStringLiteral("unknown WAV codec '%1'").arg(codec);
      return false;
    }
    settings.wav_codec = static_cast<int>(match - std::begin(kWavCodecs));
  }
  if (parser.isSet(QStringLiteral("mpc-preset"))) {
    const QString preset = parser.value(QStringLiteral("mpc-preset")).toLower();
    const auto& names = catalogue::kMusepackPresets;
    const auto* match =
        std::find_if(names.begin(), names.end(), [&preset](const char* n) { return preset == QLatin1String(n); });
    if (match == names.end()) {
      error = QStringLiteral("unknown Musepack preset '%1'").arg(preset);
      return false;
    }
    settings.musepack_preset = static_cast<int>(match - names.begin());
  }
  if (!InTable(catalogue::kSampleRates, settings.sample_rate)) {
    error = QStringLiteral("%1 Hz is not an offered sample rate").arg(settings.sample_rate);
    return false;
  }
  if (settings.bitrate != 0 && !InTable(catalogue::kBitrates, settings.bitrate)) {
    error = QStringLiteral("%1 kbps is not an offered bitrate").arg(settings.bitrate);
    return false;
  }
  if (settings.channels != 1 && settings.channels != 2) {
    error = QStringLiteral("--channels takes 1 or 2");
    return false;
  }
  if (settings.bits != 8 && settings.bits != 16) {
    error = QStringLiteral("--bits takes 8 or 16");
    return false;
  }
  if (settings.mp3_vbr_quality < 0 || settings.mp3_vbr_quality > 9) {
    error = QStringLiteral("--vbr-quality takes 0 to 9");
    return false;
  }
  return true;
}

}  // namespace corvane::cli
