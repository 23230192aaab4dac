#include "app/SettingsSummary.h"

#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "common/StringTable.h"
#include "common/strings/ShellText.h"

namespace corvane {
namespace {

QString YesNo(const SettingsStore& settings, const char* section, const char* value, int fallback) {
  return StringTable::Text(settings.ReadNumber(section, value, fallback) != 0 ? text::kYes : text::kNo);
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

QString BuildConverterSummary(const SettingsStore& settings) {
  using namespace keys;
  const char* s = section::kConvert;
  const QString sourceFolder = settings.ReadNumber(s, kSourceFolderMode, 1) == 1
                                   ? StringTable::Text(text::kLastOpenedFolder)
                                   : settings.ReadText(s, kDefaultSourceFolder);
  return StringTable::Format(
      text::kConverterSummary,
      {sourceFolder, YesNo(settings, s, kOutputFolderConfirmation, 0), YesNo(settings, s, kConfirmOverwrite, 1),
       YesNo(settings, s, kShowSuccess, 1), YesNo(settings, s, kAutoOpenFolder, 0)});
}

QString BuildRipperSummary(const SettingsStore& settings) {
  using namespace keys;
  const char* s = section::kRip;
  return StringTable::Format(
      text::kRipperSummary, {GrabModeText(settings.ReadNumber(s, kGrabModePreset, 2)),
                             ErrorActionText(settings.ReadNumber(s, kGrabErrorAction, 1)),
                             YesNo(settings, s, kOutputFolderConfirmation, 0), YesNo(settings, s, kConfirmOverwrite, 1),
                             YesNo(settings, s, kShowSuccess, 1), YesNo(settings, s, kAutoOpenFolder, 0)});
}

}  // namespace corvane
