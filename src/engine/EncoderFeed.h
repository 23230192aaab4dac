#pragma once
#include <QProcess>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>

namespace corvane {

// A command-line encoder started as a child process (an argument vector, never a shell) and
// fed a WAV stream on its standard input. Writing blocks while the encoder is busy, so the
// encoder sets the pace. The child runs in a session of its own, so a Ctrl-C meant for this
// program does not reach it; ending a feed that was not finished stops the encoder (SIGTERM,
// then SIGKILL when it does not exit).
class EncoderFeed {
 public:
  enum class Finish { Done, Failed, Crashed, Stopped };

  struct Options {
    // When set, the encoder's standard output is this open file (for an encoder that writes its
    // output there); otherwise its standard output is discarded.
    int stdout_fd = -1;
    // While set, Write returns without waiting for the encoder to take the data (it stays
    // queued), so that a stop request is answered even when the encoder hangs.
    const std::atomic<bool>* stop_request = nullptr;
    // Sample frames the WAV header declares (the caller then writes exactly that many); negative
    // for a stream of unknown length.
    qint64 frames = -1;
  };

  // Finds `name` in the program folder first (when it is an absolute path), then in the
  // absolute folders of PATH; relative and empty PATH entries (the working folder) are skipped.
  // Empty when it is nowhere.
  static QString FindProgram(const QString& name, const QString& programFolder);

  // Starts the encoder and writes the WAV header (its length from `options.frames`). Null when the
  // encoder could not be started.
  static std::unique_ptr<EncoderFeed> Start(const QString& program, const QStringList& arguments, int sampleRate,
                                            int channels, int bitsPerSample, const Options& options);
  static std::unique_ptr<EncoderFeed> Start(const QString& program, const QStringList& arguments, int sampleRate,
                                            int channels, int bitsPerSample) {
    return Start(program, arguments, sampleRate, channels, bitsPerSample, Options{});
  }
  ~EncoderFeed();
  EncoderFeed(const EncoderFeed&) = delete;
  EncoderFeed& operator=(const EncoderFeed&) = delete;

  // True while the encoder runs and takes input.
  bool IsActive() const;
  // Hands PCM bytes to the encoder; false when it stopped taking them or took nothing for two
  // minutes.
  bool Write(const char* data, qint64 bytes);
  // Ends the input and waits for the encoder to exit. Done only for a normal exit with status 0.
  // `keepWaiting`, asked between waits, may give up on an encoder that takes too long (Stopped;
  // the encoder is then ended).
  Finish Stop(const std::function<bool()>& keepWaiting = {});
  int ExitStatus() const { return exit_status_; }
  // Ends the encoder at once (a stopped job).
  void Abandon();

 private:
  EncoderFeed() = default;
  bool StopRequested() const { return options_.stop_request != nullptr && *options_.stop_request; }

  std::unique_ptr<QProcess> process_;
  Options options_;
  int exit_status_ = -1;
};

}  // namespace corvane
