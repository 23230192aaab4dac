#include "app/SettingsSummary.h"

#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "common/StringTable.h"
#include "common/strings/ShellText.h"
#include "ripper/RipperSettingsValues.h"

namespace corvane {
namespace {

QString YesNo(const SettingsStore& settings, const char* section, const char* value, int fallback) {
  return StringTable::Text(settings.ReadNumber(section, value, fallback) != 0 ? text::kYes : text::kNo);
}

QString YesNo(bool yes) { return StringTable::Text(yes ? text::kYes : text::kNo); }

QString GrabModeText(GrabMode mode) {
  switch (mode) {
    case GrabMode::Fast:
      return StringTable::Text(text::kGrabModeFast);
    case GrabMode::Precision:
      break;
    case GrabMode::VeryUsed:
      return StringTable::Text(text::kGrabModeVeryUsed);
    case GrabMode::Unreadable:
      return StringTable::Text(text::kGrabModeUnreadable);
  }
  return StringTable::Text(text::kGrabModePrecision);
}

QString ErrorActionText(ErrorAction action) {
  switch (action) {
    case ErrorAction::Stop:
      break;
    case ErrorAction::InsertSilence:
      return StringTable::Text(text::kErrorActionSilence);
    case ErrorAction::Discard:
      return StringTable::Text(text::kErrorActionDiscard);
  }
  return StringTable::Text(text::kErrorActionStop);
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
  const RipperSettingsValues values = RipperSettingsValues::Read(settings);
  return StringTable::Format(
      text::kRipperSummary,
      {GrabModeText(values.grab_mode), ErrorActionText(values.error_action), YesNo(values.output_folder_confirmation),
       YesNo(values.confirm_overwrite), YesNo(values.show_success), YesNo(values.auto_open_folder)});
}

}  // namespace corvane
