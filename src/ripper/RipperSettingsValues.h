#pragma once
#include <QString>
#include <optional>

namespace corvane {

class SettingsStore;

// The values of the "Ripper Settings" dialog that hold for every drive, as its controls show them.
// Load writes the default of every missing number back at once (the AccurateRip address stays
// empty when absent); Save writes them all in their stored form.
struct RipperSettingsValues {
  enum GrabModeRadio { kFast = 0, kPrecision = 1, kVeryUsed = 2, kUnreadable = 3 };
  enum ErrorActionRadio { kStop = 0, kInsertSilence = 1, kDiscard = 2 };
  static constexpr int kMaxRetries = 99;

  int grab_mode_radio = kPrecision;
  int retries = 5;
  int error_action_radio = kInsertSilence;
  bool enable_id3v2 = false;
  bool output_folder_confirmation = false;
  bool confirm_overwrite = true;
  bool show_success = true;
  bool auto_open_folder = false;
  bool verify_accuraterip = true;
  bool rip_log = true;
  QString accuraterip_url;  // empty: the public database

  static RipperSettingsValues Load(SettingsStore& settings);
  void Save(SettingsStore& settings) const;

  // Stored "Grab Mode Preset" 1..4 to radio 0..3; any other stored value shows precision.
  static int GrabModeToRadio(int stored);
  // Radio 0..3 to the stored preset; any other position (none checked) stores precision.
  static int RadioToGrabMode(int radio);
  // Stored "Grab Error Action" to its radio; any other stored value shows "Stop grabbing".
  static int ErrorActionToRadio(int stored);
  // Radio to the stored action; any other position stores "Insert silence".
  static int RadioToErrorAction(int radio);
  // The retries a grab mode starts with: 0, 5, 10 or 50.
  static int RetriesForGrabMode(int radio);
  // The retries typed into the dialog, clamped to 0..99; nullopt when the text is no integer.
  static std::optional<int> ParseRetries(const QString& text);
};

// A drive's read offset in samples: what the drive delivers late (positive) or early (negative).
inline constexpr int kMaxReadOffset = 3000;
// The stored offset of the drive with that identifier (vendor, model and revision), clamped to
// +-kMaxReadOffset; 0 when none is stored or the identifier is empty (a disc image).
int ReadOffsetFor(const SettingsStore& settings, const QString& driveIdentifier);
// Stores the drive's offset, clamped; nothing for an empty identifier.
void WriteReadOffset(SettingsStore& settings, const QString& driveIdentifier, int samples);

}  // namespace corvane
