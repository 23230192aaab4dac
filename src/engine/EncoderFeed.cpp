#include "engine/EncoderFeed.h"

#include <QStandardPaths>

#include <csignal>

#include "engine/WavStreamHeader.h"

namespace corvane {
namespace {

constexpr int kStartTimeoutMs = 10000;
// An encoder that takes no input for this long is taken for hung.
constexpr int kWriteTimeoutMs = 120000;
constexpr int kFinishTimeoutMs = -1;  // finishing a long file may take a while: wait for it

}  // namespace

QString EncoderFeed::FindProgram(const QString& name, const QString& programFolder) {
  if (!programFolder.isEmpty()) {
    const QString local = QStandardPaths::findExecutable(name, {programFolder});
    if (!local.isEmpty()) return local;
  }
  return QStandardPaths::findExecutable(name);
}

std::unique_ptr<EncoderFeed> EncoderFeed::Start(const QString& program, const QStringList& arguments, int sampleRate,
                                                int channels, int bitsPerSample, qint64 frames) {
  if (program.isEmpty()) return nullptr;
  // An encoder that dies while we write must fail the job, not end this process.
  static const bool ignorePipeSignal = [] { return std::signal(SIGPIPE, SIG_IGN) != SIG_ERR; }();
  Q_UNUSED(ignorePipeSignal);
  std::unique_ptr<EncoderFeed> feed(new EncoderFeed);
  feed->process_ = std::make_unique<QProcess>();
  QProcess& process = *feed->process_;
  // The encoders' console chatter is not read: an unread pipe would fill and stall them.
  process.setStandardOutputFile(QProcess::nullDevice());
  process.setStandardErrorFile(QProcess::nullDevice());
  process.start(program, arguments, QIODevice::WriteOnly);
  if (!process.waitForStarted(kStartTimeoutMs)) return nullptr;
  const QByteArray header = MakeWavStreamHeader(sampleRate, channels, bitsPerSample, frames);
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
  while (process_->bytesToWrite() > 0) {
    if (!process_->waitForBytesWritten(kWriteTimeoutMs)) return false;
  }
  return IsActive();
}

EncoderFeed::Finish EncoderFeed::Stop() {
  if (!process_) return Finish::Failed;
  process_->closeWriteChannel();
  if (process_->state() != QProcess::NotRunning) process_->waitForFinished(kFinishTimeoutMs);
  const bool crashed = process_->exitStatus() == QProcess::CrashExit;
  exit_status_ = process_->exitCode();
  process_.reset();
  if (crashed) return Finish::Crashed;
  return exit_status_ == 0 ? Finish::Done : Finish::Failed;
}

void EncoderFeed::Abandon() {
  if (!process_) return;
  if (process_->state() != QProcess::NotRunning) {
    process_->kill();
    process_->waitForFinished(kStartTimeoutMs);
  }
  process_.reset();
}

}  // namespace corvane
