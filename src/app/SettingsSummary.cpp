#include "app/SettingsSummary.h"

#include "common/SettingsStore.h"
#include "common/StringTable.h"
#include "common/strings/ShellText.h"
#include "converter/ConverterSettings.h"
#include "ripper/RipperSettingsValues.h"

namespace corvane {
namespace {

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
  const ConverterSettings values = ConverterSettings::Read(settings);
  const QString sourceFolder =
      values.source_folder_mode == 1 ? StringTable::Text(text::kLastOpenedFolder) : values.default_source_folder;
  return StringTable::Format(text::kConverterSummary,
                             {sourceFolder, YesNo(values.output_folder_confirmation), YesNo(values.confirm_overwrite),
                              YesNo(values.show_success), YesNo(values.auto_open_folder)});
}

QString BuildRipperSummary(const SettingsStore& settings) {
  const RipperSettingsValues values = RipperSettingsValues::Read(settings);
  return StringTable::Format(text::kRipperSummary,
                             {GrabModeText(values.grab_mode), ErrorActionText(values.error_action),
                              YesNo(values.output_folder_confirmation), YesNo(values.confirm_overwrite),
                              YesNo(values.show_success), YesNo(values.auto_open_folder)}) +
         // Both are on by default, and the look-up contacts a server: the user should know.
         StringTable::Format(text::kRipperSummaryAfter, {YesNo(values.rip_log), YesNo(values.verify_accuraterip)});
}

}  // namespace corvane
