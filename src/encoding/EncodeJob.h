#pragma once
#include <QString>
#include <atomic>

#include "common/PcmTap.h"
#include "common/Result.h"
#include "common/strings/FormatText.h"
#include "components/ConverterError.h"
#include "formats/EncodeSettings.h"
#include "tags/SourceTags.h"

namespace corvane {

class AudioStream;
class IConversionComponent;
class SettingsStore;

// What EncodeTrack did with one file or track. The numbers are those the runs count and compare.
enum class EncodeResult : int {
  Done = 0,
  Failed = 1,       // the outcome's text says why (it may be empty)
  StoppedThis = 2,  // the user stopped this file or track
  StoppedAll = 4,   // the user stopped the whole run
};

// Codes put into text::kMsgEncoderStartFailed and text::kMsgEncodingError when the encoder itself has none to give.
enum class EncoderFailure : int {
  ProgramStart = 9001,    // the command-line encoder could not be started
  ProgramStopped = 9003,  // the command-line encoder ended while it was being fed
  ApeStart = 9005,        // the Monkey's Audio compressor refused to start
  ApeFinish = 9007,       // the Monkey's Audio compressor could not complete the file
};

// What a job did; a Failed one carries the text to show.
using EncodeOutcome = Result<EncodeResult>;

inline EncodeOutcome EncodeFailed(const QString& text) { return EncodeOutcome::Failure(EncodeResult::Failed, text); }
// text::kMsgEncoderStartFailed "Failed to start the encoder (error code: %d)! ..." with `code`.
EncodeOutcome EncodeStartFailed(int code);
// text::kMsgEncodingError "Encoding error (error code: %d), ..." with `code`.
EncodeOutcome EncodingFailed(int code);
// text::kMsgEncodingError with the failure's code, followed by its reason ("... (cannot write the
// MP3 file: No space left on device)").
EncodeOutcome EncodingFailed(const ConverterResult& failure);

// Everything one encoding job needs. Nothing in it is global, so jobs may run on worker threads
// side by side (each with its own streams and converter).
struct EncodeJob {
  // Where the back-end writes: a temporary file, possibly without a name of its own.
  QString output_path;
  // The name the output will have once it is complete (empty: output_path is that name).
  QString final_path;
  QString ShownPath() const { return final_path.isEmpty() ? output_path : final_path; }
  // The decoded input: its length and position drive the progress bar, and its tags are copied
  // when keep_tags is set (DecodeStream sources only, unless `tags` is given).
  const AudioStream* source = nullptr;
  // Delivers the audio to encode as 16-bit PCM at the job's rate and channel count; it may be the
  // source itself or a mixer in front of it. Its rate and channel count are the input format.
  AudioStream* encode = nullptr;
  // The run's conversion component, set up for `settings` (MP3, WAV, OGG and VOX only).
  IConversionComponent* converter = nullptr;
  EncodeSettings settings;
  bool keep_tags = false;
  // Tags to write instead of the source's own (a ripped track's disc metadata, for instance).
  const SourceTags* tags = nullptr;
  // String number of the question asked when the user presses Stop (text::kStopConversionQuestion
  // or text::kAskStopRipping).
  int stop_question = text::kStopConversionQuestion;
  // Set by the page's Stop button, from any thread; the job clears it when it asks the question.
  // Null: the job cannot be stopped.
  std::atomic<bool>* stop_request = nullptr;
  // Where the command-line encoders are looked for first (before PATH).
  QString program_folder;
  // The user's settings, where the FLAC and Monkey's Audio back-ends read their levels (and
  // write them back, limited to their range). Jobs of those formats need it.
  SettingsStore* user_settings = nullptr;
  // Processors this job may keep busy; 0: all of them. A run that converts several files at
  // once gives each its share.
  int processor_share = 0;
  // Sees every block exactly as it is handed to the encoder; null: none.
  PcmTap* tap = nullptr;
};

// The tags a job writes when keep_tags is set: `tags` when given, else the source's own. False
// when there are none to read (no tags given and the source is not a decoded file).
bool ReadJobTags(const EncodeJob& job, SourceTags& tags);

}  // namespace corvane
