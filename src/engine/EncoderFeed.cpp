#include "engine/EncoderFeed.h"

#include <QDir>
#include <QElapsedTimer>
#include <QStandardPaths>

#include <unistd.h>
#include <csignal>

#include "engine/WavStreamHeader.h"

namespace corvane {
namespace {

constexpr int kStartTimeoutMs = 10000;
// An encoder that takes no input for this long is taken for hung.
constexpr int kWriteTimeoutMs = 120000;
// Waits are cut into short slices, so stop requests are seen.
constexpr int kSliceMs = 100;
// How long an encoder asked to end (SIGTERM) may take before it is killed.
constexpr int kTerminateGraceMs = 3000;

}  // namespace

QString EncoderFeed::FindProgram(const QString& name, const QString& programFolder) {
  if (!programFolder.isEmpty() && QDir::isAbsolutePath(programFolder)) {
    const QString local = QStandardPaths::findExecutable(name, {programFolder});
    if (!local.isEmpty()) return local;
  }
  QStringList folders;
  for (const QString& entry : qEnvironmentVariable("PATH").split(QLatin1Char(':'))) {
    if (QDir::isAbsolutePath(entry)) folders << entry;
  }
  return folders.isEmpty() ? QString() : QStandardPaths::findExecutable(name, folders);
}

std::unique_ptr<EncoderFeed> EncoderFeed::Start(const QString& program, const QStringList& arguments, int sampleRate,
                                                int channels, int bitsPerSample, const Options& options) {
  if (program.isEmpty()) return nullptr;
  // An encoder that dies while we write must fail the job, not end this process.
  static const bool ignorePipeSignal = [] { return std::signal(SIGPIPE, SIG_IGN) != SIG_ERR; }();
  Q_UNUSED(ignorePipeSignal);
  std::unique_ptr<EncoderFeed> feed(new EncoderFeed);
  feed->options_ = options;
  feed->process_ = std::make_unique<QProcess>();
  QProcess& process = *feed->process_;
  // The encoders' console chatter is not read: an unread pipe would fill and stall them.
  process.setStandardOutputFile(QProcess::nullDevice());
  process.setStandardErrorFile(QProcess::nullDevice());
  const int stdoutFd = options.stdout_fd;
  process.setChildProcessModifier([stdoutFd] {
    // A session of its own: the terminal's Ctrl-C and hang-up reach this program, which then
    // ends the encoder itself, rather than killing the encoder first.
    ::setsid();
    if (stdoutFd >= 0) ::dup2(stdoutFd, STDOUT_FILENO);
  });
  process.start(program, arguments, QIODevice::WriteOnly);
  if (!process.waitForStarted(kStartTimeoutMs)) return nullptr;
  const QByteArray header = MakeWavStreamHeader(sampleRate, channels, bitsPerSample, options.frames);
  if (!feed->Write(header.constData(), header.size())) return nullptr;
  return feed;
}

EncoderFeed::~EncoderFeed() { Abandon(); }

bool EncoderFeed::IsActive() const {
  if (!process_ || process_->state() != QProcess::Running) return false;
  // Without an event loop the process state is only updated when we ask.
  process_->waitForFinished(0);
  return process_->state() == QProcess::Running;
}

bool EncoderFeed::Write(const char* data, qint64 bytes) {
  if (!IsActive()) return false;
  qint64 done = 0;
  while (done < bytes) {
    const qint64 written = process_->write(data + done, bytes - done);
    if (written < 0) return false;
    done += written;
  }
  QElapsedTimer idle;
  idle.start();
  qint64 pending = process_->bytesToWrite();
  while (pending > 0) {
    if (StopRequested()) return true;  // the data stays queued for the next write
    process_->waitForBytesWritten(kSliceMs);
    if (process_->state() != QProcess::Running) return false;
    const qint64 now = process_->bytesToWrite();
    if (now < pending) idle.restart();
    if (idle.hasExpired(kWriteTimeoutMs)) return false;
    pending = now;
  }
  // Everything was taken. An encoder told the length in the header may already have read its
  // last sample and exited: how it ended is for Stop to tell.
  return true;
}

EncoderFeed::Finish EncoderFeed::Stop(const std::function<bool()>& keepWaiting) {
  if (!process_) return Finish::Failed;
  process_->closeWriteChannel();
  while (process_->state() != QProcess::NotRunning) {
    // Finishing a long file may take a while: wait for it, unless the user gives up.
    process_->waitForFinished(kSliceMs);
    if (process_->state() != QProcess::NotRunning && keepWaiting && !keepWaiting()) {
      Abandon();
      return Finish::Stopped;
    }
  }
  const bool crashed = process_->exitStatus() == QProcess::CrashExit;
  exit_status_ = process_->exitCode();
  process_.reset();
  if (crashed) return Finish::Crashed;
  return exit_status_ == 0 ? Finish::Done : Finish::Failed;
}

void EncoderFeed::Abandon() {
  if (!process_) return;
  if (process_->state() != QProcess::NotRunning) {
    process_->closeWriteChannel();
    process_->terminate();
    if (!process_->waitForFinished(kTerminateGraceMs)) {
      process_->kill();
      process_->waitForFinished(kStartTimeoutMs);
    }
  }
  process_.reset();
}

}  // namespace corvane
