#include "support/SourceFixtures.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace corvane::test {
namespace {

constexpr int kToolTimeoutMs = 120000;

}  // namespace

bool RunTool(const QString& program, const QStringList& arguments, QByteArray* output) {
  QProcess process;
  process.setProgram(program);
  process.setArguments(arguments);
  process.setProcessChannelMode(output != nullptr ? QProcess::SeparateChannels : QProcess::MergedChannels);
  process.start();
  if (!process.waitForStarted() || !process.waitForFinished(kToolTimeoutMs)) {
    process.kill();
    process.waitForFinished();
    return false;
  }
  if (output != nullptr) *output = process.readAllStandardOutput();
  return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool HasFfmpegEncoder(const QString& name) {
  QByteArray listing;
  if (!RunTool(QStringLiteral("ffmpeg"), {QStringLiteral("-hide_banner"), QStringLiteral("-encoders")}, &listing)) {
    return false;
  }
  for (const QByteArray& line : listing.split('\n')) {
    const QList<QByteArray> words = line.simplified().split(' ');
    if (words.size() >= 2 && words[1] == name.toLatin1()) return true;
  }
  return false;
}

bool MakeTone(const QString& path, double seconds, int rate, int channels, const QStringList& outputArguments) {
  QStringList arguments = {QStringLiteral("-hide_banner"),
                           QStringLiteral("-loglevel"),
                           QStringLiteral("error"),
                           QStringLiteral("-y"),
                           QStringLiteral("-f"),
                           QStringLiteral("lavfi"),
                           QStringLiteral("-i"),
                           QStringLiteral("sine=frequency=440:sample_rate=%1:duration=%2").arg(rate).arg(seconds),
                           QStringLiteral("-ac"),
                           QString::number(channels)};
  arguments << outputArguments << path;
  return RunTool(QStringLiteral("ffmpeg"), arguments);
}

QByteArray DecodeWithFfmpeg(const QString& path) {
  QByteArray pcm;
  RunTool(QStringLiteral("ffmpeg"),
          {QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-i"),
           path, QStringLiteral("-f"), QStringLiteral("s16le"), QStringLiteral("-")},
          &pcm);
  return pcm;
}

double ProbeDuration(const QString& path) {
  QByteArray out;
  if (!RunTool(QStringLiteral("ffprobe"),
               {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
                QStringLiteral("format=duration"), QStringLiteral("-of"), QStringLiteral("default=nw=1:nk=1"), path},
               &out)) {
    return -1;
  }
  bool ok = false;
  const double seconds = out.trimmed().toDouble(&ok);
  return ok ? seconds : -1;
}

QString ProbeTag(const QString& path, const QString& key) {
  QByteArray out;
  if (!RunTool(QStringLiteral("ffprobe"),
               {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
                QStringLiteral("format_tags:stream_tags"), QStringLiteral("-of"), QStringLiteral("json"), path},
               &out)) {
    return QString();
  }
  const QJsonObject root = QJsonDocument::fromJson(out).object();
  auto find = [&key](const QJsonObject& tags) {
    for (auto it = tags.begin(); it != tags.end(); ++it) {
      if (it.key().compare(key, Qt::CaseInsensitive) == 0) return it.value().toString();
    }
    return QString();
  };
  QString value = find(root.value(QStringLiteral("format")).toObject().value(QStringLiteral("tags")).toObject());
  if (value.isEmpty()) {
    for (const auto& stream : root.value(QStringLiteral("streams")).toArray()) {
      value = find(stream.toObject().value(QStringLiteral("tags")).toObject());
      if (!value.isEmpty()) break;
    }
  }
  return value;
}

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteAll(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

}  // namespace corvane::test
