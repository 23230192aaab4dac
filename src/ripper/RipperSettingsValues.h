#pragma once
#include <QString>
#include <optional>

namespace corvane {

class SettingsStore;
struct SourceTags;
struct EncodeSettings;

// How the sectors of a rip are read, as "Grab Mode Preset" stores it: the first two as the drive
// returns them, the last two with error correction.
enum class GrabMode : int { Fast = 1, Precision = 2, VeryUsed = 3, Unreadable = 4 };
// What a sector that never reads becomes, as "Grab Error Action" stores it.
enum class ErrorAction : int { Stop = 0, InsertSilence = 1, Discard = 2 };

// The values of the "Ripper Settings" dialog that hold for every drive, read once for a run or a
// dialog. Every stored number is mapped as the dialog shows it: a grab mode or error action it
// does not know is the one it would show, retries are clamped to 0..99. Load writes the default
// of every missing number back at once (the AccurateRip address stays empty when absent); Save
// writes them all in their stored form.
struct RipperSettingsValues {
  static constexpr GrabMode kDefaultGrabMode = GrabMode::Precision;
  static constexpr int kDefaultRetries = 5;
  static constexpr ErrorAction kDefaultErrorAction = ErrorAction::InsertSilence;
  static constexpr int kMaxRetries = 99;

  GrabMode grab_mode = kDefaultGrabMode;
  int retries = kDefaultRetries;
  ErrorAction error_action = kDefaultErrorAction;
  bool enable_id3v2 = false;
  bool output_folder_confirmation = false;
  bool confirm_overwrite = true;
  bool show_success = true;
  bool auto_open_folder = false;
  bool verify_accuraterip = true;
  bool rip_log = true;
  QString accuraterip_url;  // empty: the public database
  int replaygain = 0;       // ReplayGainMode: 0 off, 1 track, 2 album (the tracks of one rip)

  // The values as stored, writing nothing (the settings summary).
  static RipperSettingsValues Read(const SettingsStore& settings);
  static RipperSettingsValues Load(SettingsStore& settings);
  void Save(SettingsStore& settings) const;

  // Whether the grab mode reads with error correction (the grabber's careful modes).
  bool Careful() const { return grab_mode == GrabMode::VeryUsed || grab_mode == GrabMode::Unreadable; }
  // Whether the grabber itself reads and writes the tracks of an output of `settings`: the
  // careful modes, for a format its encoder object writes at CD rate or below.
  bool UsesComponentGrab(const EncodeSettings& settings) const;
  // Whether an MP3 track with `tags` gets an ID3v2 tag besides its ID3v1 one: when the setting
  // asks for it, and whenever ID3v1 cannot hold a text whole.
  bool Id3v2For(const SourceTags& tags) const;

  // Stored "Grab Mode Preset" 1..4 as it is; any other stored value is precision.
  static GrabMode GrabModeOf(int stored);
  // Stored "Grab Error Action" 1 and 2 as they are; any other stored value is "Stop grabbing".
  static ErrorAction ErrorActionOf(int stored);
  // The dialog's radios, 0..3 for the grab modes in their order and 0..2 for the error actions.
  static int RadioOf(GrabMode mode) { return static_cast<int>(mode) - 1; }
  static int RadioOf(ErrorAction action) { return static_cast<int>(action); }
  // Radio 0..3 to its grab mode; any other position (none checked) is precision.
  static GrabMode GrabModeOfRadio(int radio);
  // Radio 0 and 2 to their actions; any other position (none checked) inserts silence.
  static ErrorAction ErrorActionOfRadio(int radio);
  // The retries a grab mode starts with: 0, 5, 10 or 50.
  static int RetriesFor(GrabMode mode);
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
