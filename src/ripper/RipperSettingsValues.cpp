#include "ripper/RipperSettingsValues.h"

#include <QRegularExpression>
#include <algorithm>
#include <cstring>

#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "engine/CdStream.h"
#include "formats/EncodeSettings.h"
#include "formats/OutputFormatCatalogue.h"
#include "tags/Id3v2Tag.h"

namespace corvane {
namespace {
const char* const kSection = keys::section::kRip;

// Every number of the dialog with its default: the one place the defaults are written.
struct NumberDefault {
  const char* key;
  int fallback;
};
constexpr NumberDefault kNumbers[] = {
    {keys::kGrabModePreset, static_cast<int>(RipperSettingsValues::kDefaultGrabMode)},
    {keys::kGrabErrorRetries, RipperSettingsValues::kDefaultRetries},
    {keys::kGrabErrorAction, static_cast<int>(RipperSettingsValues::kDefaultErrorAction)},
    {keys::kEnableId3v2, 0},
    {keys::kOutputFolderConfirmation, 0},
    {keys::kConfirmOverwrite, 1},
    {keys::kShowSuccess, 1},
    {keys::kAutoOpenFolder, 0},
    {keys::kVerifyAccurateRip, 1},
    {keys::kRipLog, 1},
    {keys::kReplayGainMode, 0},
};

// The stored number, or its default when absent (-1 counts as absent, as for the readers that
// write the default back).
int Number(const SettingsStore& settings, const char* key) {
  for (const NumberDefault& number : kNumbers) {
    if (std::strcmp(number.key, key) != 0) continue;
    const int stored = settings.ReadNumber(kSection, key, -1);
    return stored == -1 ? number.fallback : stored;
  }
  return -1;
}

// The value's name as bytes; the store escapes its "/" (and any "/" or "\\" of the identifier)
// so that the name stays one value of the section and reads back exactly.
QByteArray ReadOffsetName(const QString& driveIdentifier) {
  return QByteArray(keys::kReadOffsetPrefix) + driveIdentifier.trimmed().toUtf8();
}
}  // namespace

RipperSettingsValues RipperSettingsValues::Read(const SettingsStore& settings) {
  RipperSettingsValues v;
  v.grab_mode = GrabModeOf(Number(settings, keys::kGrabModePreset));
  v.retries = std::clamp(Number(settings, keys::kGrabErrorRetries), 0, kMaxRetries);
  v.error_action = ErrorActionOf(Number(settings, keys::kGrabErrorAction));
  v.enable_id3v2 = Number(settings, keys::kEnableId3v2) != 0;
  v.output_folder_confirmation = Number(settings, keys::kOutputFolderConfirmation) != 0;
  v.confirm_overwrite = Number(settings, keys::kConfirmOverwrite) != 0;
  v.show_success = Number(settings, keys::kShowSuccess) != 0;
  v.auto_open_folder = Number(settings, keys::kAutoOpenFolder) != 0;
  v.verify_accuraterip = Number(settings, keys::kVerifyAccurateRip) != 0;
  v.rip_log = Number(settings, keys::kRipLog) != 0;
  v.accuraterip_url = settings.ReadText(kSection, keys::kAccurateRipUrl);
  v.replaygain = std::clamp(Number(settings, keys::kReplayGainMode), 0, 2);
  return v;
}

RipperSettingsValues RipperSettingsValues::Load(SettingsStore& settings) {
  for (const NumberDefault& number : kNumbers) settings.ReadNumberOrStore(kSection, number.key, number.fallback);
  return Read(settings);
}

void RipperSettingsValues::Save(SettingsStore& settings) const {
  settings.WriteNumber(kSection, keys::kGrabModePreset, static_cast<int>(grab_mode));
  settings.WriteNumber(kSection, keys::kGrabErrorRetries, std::clamp(retries, 0, kMaxRetries));
  settings.WriteNumber(kSection, keys::kGrabErrorAction, static_cast<int>(error_action));
  settings.WriteNumber(kSection, keys::kEnableId3v2, enable_id3v2 ? 1 : 0);
  settings.WriteNumber(kSection, keys::kOutputFolderConfirmation, output_folder_confirmation ? 1 : 0);
  settings.WriteNumber(kSection, keys::kConfirmOverwrite, confirm_overwrite ? 1 : 0);
  settings.WriteNumber(kSection, keys::kShowSuccess, show_success ? 1 : 0);
  settings.WriteNumber(kSection, keys::kAutoOpenFolder, auto_open_folder ? 1 : 0);
  settings.WriteNumber(kSection, keys::kVerifyAccurateRip, verify_accuraterip ? 1 : 0);
  settings.WriteNumber(kSection, keys::kRipLog, rip_log ? 1 : 0);
  settings.WriteText(kSection, keys::kAccurateRipUrl, accuraterip_url.trimmed());
  settings.WriteNumber(kSection, keys::kReplayGainMode, replaygain);
}

bool RipperSettingsValues::UsesComponentGrab(const EncodeSettings& settings) const {
  return Careful() && catalogue::EncoderObjectWrites(settings.format) && settings.sample_rate <= CdStream::kRate;
}

bool RipperSettingsValues::Id3v2For(const SourceTags& tags) const {
  Mp3TagSet set;
  set.tags = tags;
  return enable_id3v2 || NeedsId3v2(set);
}

GrabMode RipperSettingsValues::GrabModeOf(int stored) {
  return stored >= static_cast<int>(GrabMode::Fast) && stored <= static_cast<int>(GrabMode::Unreadable)
             ? static_cast<GrabMode>(stored)
             : kDefaultGrabMode;
}

ErrorAction RipperSettingsValues::ErrorActionOf(int stored) {
  return stored == static_cast<int>(ErrorAction::InsertSilence) || stored == static_cast<int>(ErrorAction::Discard)
             ? static_cast<ErrorAction>(stored)
             : ErrorAction::Stop;
}

GrabMode RipperSettingsValues::GrabModeOfRadio(int radio) {
  return radio >= 0 && radio <= RadioOf(GrabMode::Unreadable) ? static_cast<GrabMode>(radio + 1) : kDefaultGrabMode;
}

ErrorAction RipperSettingsValues::ErrorActionOfRadio(int radio) {
  return radio == RadioOf(ErrorAction::Stop) || radio == RadioOf(ErrorAction::Discard) ? static_cast<ErrorAction>(radio)
                                                                                       : ErrorAction::InsertSilence;
}

int RipperSettingsValues::RetriesFor(GrabMode mode) {
  switch (mode) {
    case GrabMode::Fast:
      return 0;
    case GrabMode::Precision:
      break;
    case GrabMode::VeryUsed:
      return 10;
    case GrabMode::Unreadable:
      return 50;
  }
  return kDefaultRetries;
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
