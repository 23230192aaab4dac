#include "encoding/EncoderCommandLine.h"

#include <QFileInfo>

#include <algorithm>

#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "formats/OutputFormatCatalogue.h"

namespace corvane {
namespace {

constexpr int kDefaultFlacLevel = 5;
constexpr int kHighestFlacLevel = 8;
constexpr int kDefaultFlacNonSubset = 1;

void AppendTag(QStringList& arguments, const char* name, const QString& value) {
  if (value.isEmpty()) return;
  arguments << QStringLiteral("--tag") << QString::fromLatin1(name) + QLatin1Char('=') + value;
}

// The tags both encoders take under the same names, then the two they name differently.
QStringList TagArguments(const SourceTags* tags, const char* yearName, const char* trackName) {
  QStringList arguments;
  if (tags == nullptr) return arguments;
  AppendTag(arguments, "TITLE", tags->title);
  AppendTag(arguments, "ARTIST", tags->artist);
  AppendTag(arguments, "ALBUM", tags->album);
  AppendTag(arguments, "GENRE", tags->genre);
  AppendTag(arguments, "COMMENT", tags->comment);
  AppendTag(arguments, yearName, tags->year);
  AppendTag(arguments, trackName, tags->track);
  return arguments;
}

// A path the encoder cannot take for an option, whatever its first character; "-" stays the
// standard output.
QString OutputArgument(const QString& path) {
  return path == QLatin1String("-") ? path : QFileInfo(path).absoluteFilePath();
}

}  // namespace

EncoderCommandLine EncoderCommandLine::Flac(const QString& outputPath, bool lax, int level, const SourceTags* tags) {
  QStringList arguments = {QStringLiteral("-f"), QStringLiteral("-o"), OutputArgument(outputPath)};
  if (lax) arguments << QStringLiteral("--lax");
  arguments << QStringLiteral("-%1").arg(level);
  arguments << TagArguments(tags, "DATE", "TRACKNUMBER");
  arguments << QStringLiteral("-");
  return {QStringLiteral("flac"), arguments};
}

EncoderCommandLine EncoderCommandLine::Musepack(const QString& preset, const SourceTags* tags,
                                                const QString& outputPath) {
  QStringList arguments = {QStringLiteral("--overwrite"), QStringLiteral("--") + preset};
  arguments << TagArguments(tags, "year", "track");
  arguments << QStringLiteral("-") << OutputArgument(outputPath);
  return {QStringLiteral("mpcenc"), arguments};
}

int EncoderCommandLine::StoredFlacLevel(SettingsStore& settings) {
  const int stored = settings.ReadNumber(keys::section::kEncoder, keys::kFlacCompressionLevel, kDefaultFlacLevel);
  const int level = std::clamp(stored, 0, kHighestFlacLevel);
  settings.WriteNumber(keys::section::kEncoder, keys::kFlacCompressionLevel, level);
  return level;
}

bool EncoderCommandLine::StoredFlacNonSubset(const SettingsStore& settings) {
  return settings.ReadNumber(keys::section::kEncoder, keys::kFlacNonSubset, kDefaultFlacNonSubset) != 0;
}

QString EncoderCommandLine::MusepackPreset(int index) {
  const int last = static_cast<int>(catalogue::kMusepackPresets.size()) - 1;
  return QString::fromLatin1(catalogue::kMusepackPresets[static_cast<size_t>(std::clamp(index, 0, last))]);
}

}  // namespace corvane
