#include "app/SettingsSummary.h"

#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "common/StringTable.h"
#include "common/strings/ShellText.h"

namespace corvane {
namespace {

QString YesNo(const char* section, const char* value, int fallback) {
  return StringTable::Text(SettingsStore::ReadNumber(section, value, fallback) != 0 ? text::kYes : text::kNo);
}

QString GrabModeText(int preset) {
  switch (preset) {
    case 1:
      return StringTable::Text(text::kGrabModeFast);
    case 3:
      return StringTable::Text(text::kGrabModeVeryUsed);
    case 4:
      return StringTable::Text(text::kGrabModeUnreadable);
    default:
      return StringTable::Text(text::kGrabModePrecision);
  }
}

QString ErrorActionText(int action) {
  switch (action) {
    case 1:
      return StringTable::Text(text::kErrorActionSilence);
    case 2:
      return StringTable::Text(text::kErrorActionDiscard);
    default:
      return StringTable::Text(text::kErrorActionStop);
  }
}

}  // namespace

QString BuildConverterSummary() {
  using namespace keys;
  const char* s = section::kConvert;
  const QString sourceFolder = SettingsStore::ReadNumber(s, kSourceFolderMode, 1) == 1
                                   ? StringTable::Text(text::kLastOpenedFolder)
                                   : SettingsStore::ReadText(s, kDefaultSourceFolder);
  return StringTable::Format(text::kConverterSummary,
                             {sourceFolder, YesNo(s, kOutputFolderConfirmation, 0), YesNo(s, kConfirmOverwrite, 1),
                              YesNo(s, kShowSuccess, 1), YesNo(s, kAutoOpenFolder, 0)});
}

QString BuildRipperSummary() {
  using namespace keys;
  const char* s = section::kRip;
  return StringTable::Format(
      text::kRipperSummary,
      {GrabModeText(SettingsStore::ReadNumber(s, kGrabModePreset, 2)),
       ErrorActionText(SettingsStore::ReadNumber(s, kGrabErrorAction, 1)), YesNo(s, kOutputFolderConfirmation, 0),
       YesNo(s, kConfirmOverwrite, 1), YesNo(s, kShowSuccess, 1), YesNo(s, kAutoOpenFolder, 0)});
}

}  // namespace corvane
