#include "ripper/RipperSettingsValues.h"

#include <QRegularExpression>
#include <algorithm>

#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"

namespace corvane {
namespace {
const char* const kSection = keys::section::kRip;

// The value's name as bytes; the store escapes its "/" (and any "/" or "\\" of the identifier)
// so that the name stays one value of the section and reads back exactly.
QByteArray ReadOffsetName(const QString& driveIdentifier) {
  return QByteArray(keys::kReadOffsetPrefix) + driveIdentifier.trimmed().toUtf8();
}
}  // namespace

RipperSettingsValues RipperSettingsValues::Load(SettingsStore& settings) {
  RipperSettingsValues v;
  v.grab_mode_radio = GrabModeToRadio(settings.ReadNumberOrStore(kSection, keys::kGrabModePreset, 2));
  v.retries = settings.ReadNumberOrStore(kSection, keys::kGrabErrorRetries, 5);
  v.error_action_radio = ErrorActionToRadio(settings.ReadNumberOrStore(kSection, keys::kGrabErrorAction, 1));
  v.enable_id3v2 = settings.ReadNumberOrStore(kSection, keys::kEnableId3v2, 0) != 0;
  v.output_folder_confirmation = settings.ReadNumberOrStore(kSection, keys::kOutputFolderConfirmation, 0) != 0;
  v.confirm_overwrite = settings.ReadNumberOrStore(kSection, keys::kConfirmOverwrite, 1) != 0;
  v.show_success = settings.ReadNumberOrStore(kSection, keys::kShowSuccess, 1) != 0;
  v.auto_open_folder = settings.ReadNumberOrStore(kSection, keys::kAutoOpenFolder, 0) != 0;
  v.verify_accuraterip = settings.ReadNumberOrStore(kSection, keys::kVerifyAccurateRip, 1) != 0;
  v.rip_log = settings.ReadNumberOrStore(kSection, keys::kRipLog, 1) != 0;
  v.accuraterip_url = settings.ReadText(kSection, keys::kAccurateRipUrl);
  return v;
}

void RipperSettingsValues::Save(SettingsStore& settings) const {
  settings.WriteNumber(kSection, keys::kGrabModePreset, RadioToGrabMode(grab_mode_radio));
  settings.WriteNumber(kSection, keys::kGrabErrorRetries, std::clamp(retries, 0, kMaxRetries));
  settings.WriteNumber(kSection, keys::kGrabErrorAction, RadioToErrorAction(error_action_radio));
  settings.WriteNumber(kSection, keys::kEnableId3v2, enable_id3v2 ? 1 : 0);
  settings.WriteNumber(kSection, keys::kOutputFolderConfirmation, output_folder_confirmation ? 1 : 0);
  settings.WriteNumber(kSection, keys::kConfirmOverwrite, confirm_overwrite ? 1 : 0);
  settings.WriteNumber(kSection, keys::kShowSuccess, show_success ? 1 : 0);
  settings.WriteNumber(kSection, keys::kAutoOpenFolder, auto_open_folder ? 1 : 0);
  settings.WriteNumber(kSection, keys::kVerifyAccurateRip, verify_accuraterip ? 1 : 0);
  settings.WriteNumber(kSection, keys::kRipLog, rip_log ? 1 : 0);
  settings.WriteText(kSection, keys::kAccurateRipUrl, accuraterip_url.trimmed());
}

int RipperSettingsValues::GrabModeToRadio(int stored) { return stored >= 1 && stored <= 4 ? stored - 1 : kPrecision; }

int RipperSettingsValues::RadioToGrabMode(int radio) { return radio >= kFast && radio <= kUnreadable ? radio + 1 : 2; }

int RipperSettingsValues::ErrorActionToRadio(int stored) {
  return stored == kInsertSilence || stored == kDiscard ? stored : kStop;
}

int RipperSettingsValues::RadioToErrorAction(int radio) {
  return radio == kStop || radio == kDiscard ? radio : kInsertSilence;
}

int RipperSettingsValues::RetriesForGrabMode(int radio) {
  switch (radio) {
    case kFast:
      return 0;
    case kVeryUsed:
      return 10;
    case kUnreadable:
      return 50;
    default:
      return 5;
  }
}

std::optional<int> RipperSettingsValues::ParseRetries(const QString& text) {
  static const QRegularExpression kInteger(QStringLiteral("^\\s*([+-]?)0*(\\d+)\\s*$"));
  const QRegularExpressionMatch match = kInteger.match(text);
  if (!match.hasMatch()) return std::nullopt;
  // Any number of digits is an integer; past two digits it is above the limit anyway.
  const QString digits = match.captured(2);
  const int magnitude = digits.size() > 3 ? kMaxRetries + 1 : digits.toInt();
  return match.captured(1) == QLatin1String("-") ? 0 : std::min(magnitude, kMaxRetries);
}

int ReadOffsetFor(const SettingsStore& settings, const QString& driveIdentifier) {
  if (driveIdentifier.trimmed().isEmpty()) return 0;
  const int stored = settings.ReadNumber(kSection, ReadOffsetName(driveIdentifier).constData(), 0);
  return std::clamp(stored, -kMaxReadOffset, kMaxReadOffset);
}

void WriteReadOffset(SettingsStore& settings, const QString& driveIdentifier, int samples) {
  if (driveIdentifier.trimmed().isEmpty()) return;
  settings.WriteNumber(kSection, ReadOffsetName(driveIdentifier).constData(),
                       std::clamp(samples, -kMaxReadOffset, kMaxReadOffset));
}

}  // namespace corvane
