#pragma once
// Sources, jobs and a user-interface double for the encoder back-end tests.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QTemporaryDir>

#include <unistd.h>
#include <csignal>
#include <functional>
#include <memory>

#include "common/ForwardingUserInterface.h"
#include "common/MemorySettings.h"
#include "encoding/EncodeJob.h"
#include "encoding/EncodeTrack.h"
#include "engine/DecodeStream.h"
#include "engine/MixerStream.h"
#include "support/ExternalTools.h"
#include "support/ScriptedUserInterface.h"

namespace corvane::test {

// The scripted seam, plus a hook that runs at every pump (after each block), where a test plays
// the user pressing Stop or kills an encoder.
class PumpHookUi final : public ForwardingUserInterface {
 public:
  // The base only keeps a reference to `script`, which is made before any call reaches it.
  PumpHookUi() : ForwardingUserInterface(script) {}

  ScriptedUserInterface script;
  std::function<void(int pump)> on_pump;

  void PumpEvents() override {
    script.PumpEvents();
    if (on_pump) on_pump(script.pumps);
  }
};

// Tags every tagged fixture carries (a double quote and a leading dash included).
inline SourceTags FixtureTags() {
  SourceTags tags;
  tags.title = QStringLiteral("Title \"quoted\"");
  tags.artist = QStringLiteral("-Artist");
  tags.album = QStringLiteral("Album");
  tags.year = QStringLiteral("1999");
  tags.comment = QStringLiteral("Comment; text");
  tags.track = QStringLiteral("7");
  tags.genre = QStringLiteral("Rock");
  return tags;
}

// A generated WAV source opened for decoding, optionally behind a mixer, and a job over it.
class EncodeFixture {
 public:
  EncodeFixture() { job.user_settings = &store; }

  QTemporaryDir dir;
  MemorySettings store;
  PumpHookUi ui;
  std::atomic<bool> stop{false};  // the page's Stop button
  std::unique_ptr<DecodeStream> source;
  std::unique_ptr<MixerStream> mixer;
  EncodeJob job;

  // A tone of `seconds` at `rate` and `channels`; `extra` are ffmpeg output options
  // ("-c:a pcm_u8", "-metadata title=...").
  bool Open(double seconds, int rate, int channels, const QStringList& extra = {}) {
    const QString path = dir.filePath(QStringLiteral("source.wav"));
    MakeTone(path, seconds, rate, channels, extra);
    source = DecodeStream::Open(path).value.value_or(nullptr);
    if (!source) return false;
    job.source = source.get();
    job.encode = source.get();
    job.stop_request = &stop;
    job.settings.sample_rate = rate;
    job.settings.channels = channels;
    return true;
  }
  bool OpenTagged(double seconds, int rate, int channels, const SourceTags& tags) {
    const std::pair<const char*, QString> fields[] = {
        {"title", tags.title},     {"artist", tags.artist}, {"album", tags.album}, {"date", tags.year},
        {"comment", tags.comment}, {"track", tags.track},   {"genre", tags.genre}};
    QStringList extra;
    for (const auto& [key, value] : fields) {
      if (!value.isEmpty()) extra << QStringLiteral("-metadata") << QString::fromLatin1(key) + QLatin1Char('=') + value;
    }
    return Open(seconds, rate, channels, extra);
  }
  // Puts a mixer in front so that the job encodes at `rate` and `channels`.
  bool Mix(int rate, int channels) {
    mixer = MixerStream::Create(*source, rate, channels).value.value_or(nullptr);
    if (!mixer) return false;
    job.encode = mixer.get();
    job.settings.sample_rate = rate;
    job.settings.channels = channels;
    return true;
  }
  QString Output(const QString& name) {
    job.output_path = dir.filePath(name);
    return job.output_path;
  }
  EncodeOutcome Run() { return EncodeTrack(job, ui); }
  // Frames of interleaved 16-bit audio the source holds at the job's rate.
  qint64 SourceFramesAtJobRate() const {
    const ChannelInfo info = source->Info();
    return source->LengthBytes() / info.FrameBytes() * job.settings.sample_rate / info.rate;
  }
};

// Frames ffmpeg decodes from `path` (16-bit, at the file's own channel count).
inline qint64 DecodedFrames(const QString& path, int channels) {
  return DecodeWithFfmpeg(path).size() / (2 * channels);
}

// Process ids of programs whose command line holds `path` (a unique output path) or that have
// it open (an encoder writing its standard output there).
inline QStringList ProcessesMentioning(const QString& path) {
  const QString out =
      QString::fromUtf8(RunTool(QStringLiteral("pgrep"), {QStringLiteral("-f"), path}, {.mayFail = true}).out);
  QStringList pids = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  const QString target = QFileInfo(path).absoluteFilePath();
  for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    if (pid.toInt() <= 0 || pid.toInt() == ::getpid() || pids.contains(pid)) continue;
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QString& fd : fds.entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot)) {
      if (QFile::symLinkTarget(fds.filePath(fd)) != target) continue;
      pids << pid;
      break;
    }
  }
  return pids;
}

inline void KillProcessesMentioning(const QString& path) {
  for (const QString& pid : ProcessesMentioning(path)) ::kill(pid.toInt(), SIGKILL);
}

inline QString ProbeText(const QJsonObject& probe, const char* key) {
  return probe.value(QString::fromLatin1(key)).toVariant().toString();
}

}  // namespace corvane::test
