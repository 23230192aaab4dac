#pragma once
#include <QProcess>
#include <QString>
#include <QStringList>
#include <memory>

namespace corvane {

// A command-line encoder started as a child process (an argument vector, never a shell) and
// fed a WAV stream on its standard input. Writing blocks while the encoder is busy, so the
// encoder sets the pace. Destroying a feed that was not finished kills the encoder.
class EncoderFeed {
 public:
  enum class Finish { Done, Failed, Crashed };

  // Finds `name` in the program folder first, then on PATH. Empty when it is nowhere.
  static QString FindProgram(const QString& name, const QString& programFolder);

  // Starts the encoder and writes the WAV header, which declares `frames` sample frames (the caller
  // then writes exactly that many) or, when negative, a stream of unknown length. Null when the
  // encoder could not be started.
  static std::unique_ptr<EncoderFeed> Start(const QString& program, const QStringList& arguments, int sampleRate,
                                            int channels, int bitsPerSample, qint64 frames = -1);
  ~EncoderFeed();
  EncoderFeed(const EncoderFeed&) = delete;
  EncoderFeed& operator=(const EncoderFeed&) = delete;

  // True while the encoder runs and takes input.
  bool IsActive() const;
  // Hands PCM bytes to the encoder; false when it stopped taking them.
  bool Write(const char* data, qint64 bytes);
  // Ends the input and waits for the encoder to exit. Done only for a normal exit with status 0.
  Finish Stop();
  int ExitStatus() const { return exit_status_; }
  // Ends the encoder at once (a stopped job).
  void Abandon();

 private:
  EncoderFeed() = default;
  std::unique_ptr<QProcess> process_;
  int exit_status_ = -1;
};

}  // namespace corvane
