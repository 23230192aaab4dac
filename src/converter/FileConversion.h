#pragma once
#include <QString>
#include <atomic>
#include <memory>

#include "common/Result.h"

#include "converter/FileIdentity.h"
#include "encoding/EncodeFunction.h"
#include "encoding/ReplayGain.h"
#include "output/OutputClaims.h"
#include "output/OutputSettling.h"
#include "output/RunSummary.h"

namespace corvane {

class AudioStream;
class DecodeStream;
class IUserInterface;
class MixerStream;
class SettingsStore;
class TemporaryOutput;

// The per-file choices that may change while a run goes on (the page's boxes are read again for
// every file).
class IFileOptions {
 public:
  virtual ~IFileOptions() = default;
  virtual bool KeepTags() const = 0;
  virtual bool NormalizeEnabled() const = 0;
  // The percent as typed; the conversion clamps it to 0..100 and hands the clamped value back.
  virtual int NormalizeValue() const = 0;
  virtual void SetNormalizeValue(int percent) = 0;
  // The page's status line, status_line_ (what the run is doing).
  virtual void SetStatusLine(const QString& text) = 0;
};

// Converts one source file into one output file: the overwrite prompt, decoding, normalising,
// the stream the format needs, encoding into a temporary file beside the output, and the tags.
// The output replaces an existing file only when the new one is complete, and never lands on a
// file of `sources`.
class FileConversion {
 public:
  struct Shared {
    IConversionComponent* converter = nullptr;
    EncodeSettings settings;
    QString program_folder;
    EncodeFunction encode;
    std::atomic<bool>* stop_request = nullptr;
    const SourceFileSet* sources = nullptr;
    std::atomic<bool>* overwrite_all = nullptr;  // the run's "Overwrite All" answer
    // True: every existing output is asked about and the answer is not remembered in the
    // settings (corvane-cli, whose options answer). False: the "Confirm Overwrite" setting rules.
    bool always_ask_overwrite = false;
    // The output names of the run's jobs (null: jobs do not see each other's names).
    OutputClaims* claims = nullptr;
    int processor_share = 0;  // see EncodeJob
    // The ReplayGain tags each output gets; album mode keeps its measurement in `albums` (one
    // album per output folder), whose tags the run writes once every file is done.
    ReplayGainMode replaygain = ReplayGainMode::Off;
    ReplayGainAlbums* albums = nullptr;
  };

  FileConversion(const Shared& shared, IFileOptions& options, IUserInterface& ui, SettingsStore& settings);
  ~FileConversion();
  FileConversion(const FileConversion&) = delete;
  FileConversion& operator=(const FileConversion&) = delete;

  // Converts `source` into `output` (which the overwrite prompt may rename). A Failed result
  // carries the reason.
  Result<FileResult> Convert(const QString& source, QString& output);
  // The output's loudness as it was written (not measured: no ReplayGain, or silence).
  const Loudness& Measured() const { return measured_; }

 private:
  // The decoded source and, when the format needs one, the mixer in front of it.
  struct Input {
    std::unique_ptr<DecodeStream> stream;
    std::unique_ptr<MixerStream> mixer;
    void Close();  // the mixer first: it reads from the stream
  };

  Result<FileResult> OpenInput(const QString& source, Input& input) const;
  void PrepareNormalization(AudioStream& encode);
  Result<FileResult> Encode(const QString& source, QString& output, bool replace);
  // Runs the encoder, then lets the component complete its file.
  EncodeOutcome RunEncoder(const EncodeJob& job);
  // Gives the complete output its name.
  Result<FileResult> PlaceOutput(TemporaryOutput& temporary, QString& output, bool replace);
  // Claims the output name for this job; when something is there already (a file, a folder,
  // another job's output) the overwrite answer decides. False: skip the file. `replace` tells
  // whether the output may replace what is there.
  bool SettleOutput(QString& output, bool& replace);
  void WriteTags(const QString& source, const QString& output) const;

  Shared shared_;
  IFileOptions& options_;
  IUserInterface& ui_;
  SettingsStore& settings_;
  OutputClaim claim_;
  Loudness measured_;
};

}  // namespace corvane
