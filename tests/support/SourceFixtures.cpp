#include "support/SourceFixtures.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace corvane::test {
bool HasFfmpegEncoder(const QString& name) {
  const QByteArray listing =
      ToolOutput(QStringLiteral("ffmpeg"), {QStringLiteral("-hide_banner"), QStringLiteral("-encoders")});
  for (const QByteArray& line : listing.split('\n')) {
    const QList<QByteArray> words = line.simplified().split(' ');
    if (words.size() >= 2 && words[1] == name.toLatin1()) return true;
  }
  return false;
}

void MakeTone(const QString& path, double seconds, int rate, int channels, const QStringList& outputArguments) {
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
  RunTool(QStringLiteral("ffmpeg"), arguments);
}

QByteArray DecodeWithFfmpeg(const QString& path) {
  return ToolOutput(QStringLiteral("ffmpeg"),
                    {QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                     QStringLiteral("-i"), path, QStringLiteral("-f"), QStringLiteral("s16le"), QStringLiteral("-")});
}

double ProbeDuration(const QString& path) {
  const QByteArray out =
      ToolOutput(QStringLiteral("ffprobe"),
                 {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
                  QStringLiteral("format=duration"), QStringLiteral("-of"), QStringLiteral("default=nw=1:nk=1"), path});
  bool ok = false;
  const double seconds = out.trimmed().toDouble(&ok);
  return ok ? seconds : -1;
}

QString ProbeTag(const QString& path, const QString& key) {
  const QByteArray out =
      ToolOutput(QStringLiteral("ffprobe"),
                 {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
                  QStringLiteral("format_tags:stream_tags"), QStringLiteral("-of"), QStringLiteral("json"), path});
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
