#include "converter/SourceFileFilters.h"

#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "common/StringTable.h"
#include "common/strings/ConverterText.h"

namespace corvane {
namespace {

// Patterns of each filter, in the order of the descriptions kFilterFirst..kFilterLast.
constexpr const char* kPatterns[] = {
    "mp3;mp2;mp1;mpa;wma;asf;wav;ogg;flac;fla;aif;aiff;ape;mac;mpc;mp+;mpp;aac;m4a;mp4;ac3;wv;spx;cda;tta;ofr;ofs",
    "mp3;mp2;mp1;mpa",
    "wma;asf",
    "wav",
    "ogg",
    "aac;m4a;mp4",
    "ac3",
    "m4a",
    "flac;fla",
    "ape;mac",
    "mpc;mp+;mpp",
    "aif;aiff",
    "wv",
    "spx",
    "tta",
    "adx",
    "aix",
    "ofr;ofs",
    "cda",
    "",  // all files; "*.*" would leave out names without a dot here
};
static_assert(std::size(kPatterns) == text::kFilterLast - text::kFilterFirst + 1);

}  // namespace

QString AddFilesDialogTitle() { return StringTable::Text(text::kAddFilesTitle); }

std::vector<SourceFileFilter> SourceFileFilters() {
  std::vector<SourceFileFilter> filters;
  for (int id = text::kFilterFirst; id <= text::kFilterLast; ++id) {
    SourceFileFilter filter{StringTable::Text(id), {}};
    const QString extensions = QString::fromLatin1(kPatterns[id - text::kFilterFirst]);
    if (extensions.isEmpty()) filter.patterns << QStringLiteral("*");
    for (const QString& extension : extensions.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
      filter.patterns << QStringLiteral("*.") + extension;
    }
    filters.push_back(filter);
  }
  return filters;
}

QString AddFilesStartFolder(const SettingsStore& settings) {
  const bool remember = settings.ReadNumber(keys::section::kConvert, keys::kSourceFolderMode, 1) != 0;
  return settings.ReadText(keys::section::kConvert, remember ? keys::kLastSourceFolder : keys::kDefaultSourceFolder);
}

}  // namespace corvane
