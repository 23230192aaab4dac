#include "support/SourceFixtures.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <stdexcept>

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

void MakeMusic(const QString& path, int rate, double seconds) {
  const QString repeats = QString::number(static_cast<int>(seconds * 4) - 1);
  const QString format = QStringLiteral("-r %1 -c 2 -b 16").arg(rate);
  const QStringList words = format.split(QLatin1Char(' '));
  // The format is given to the null input too, so that lengths in samples count at the rate.
  RunTool(QStringLiteral("sox"), words + QStringList{QStringLiteral("-n")} + words +
                                     QStringList{path,
                                                 QStringLiteral("synth"),
                                                 QStringLiteral("0.25"),
                                                 QStringLiteral("pluck"),
                                                 QStringLiteral("C3"),
                                                 QStringLiteral("pluck"),
                                                 QStringLiteral("E4"),
                                                 QStringLiteral("pluck"),
                                                 QStringLiteral("G4"),
                                                 QStringLiteral("pluck"),
                                                 QStringLiteral("B5"),
                                                 QStringLiteral("synth"),
                                                 QStringLiteral("0.25"),
                                                 QStringLiteral("pinknoise"),
                                                 QStringLiteral("mix"),
                                                 QStringLiteral("gain"),
                                                 QStringLiteral("-n"),
                                                 QStringLiteral("-3"),
                                                 QStringLiteral("repeat"),
                                                 repeats,
                                                 QStringLiteral("remix"),
                                                 QStringLiteral("1"),
                                                 QStringLiteral("1v0.7")});
}

void MakeSpeech(const QString& path, const QString& sentence) {
  RunTool(QStringLiteral("espeak-ng"), {QStringLiteral("-w"), path, sentence});
}

namespace {

void AppendLittleEndian(QByteArray& bytes, quint64 value, int size) {
  for (int i = 0; i < size; ++i) bytes.append(static_cast<char>(value >> (8 * i)));
}

// A protection object as an encoder of protected files writes it: GUID, size, then its fields.
QByteArray ProtectionObject(AsfProtection kind) {
  QByteArray body;
  QByteArray guid;
  if (kind == AsfProtection::ContentEncryption) {
    guid = QByteArray::fromHex("FBB3112223BDD211B4B700A0C955FC6E");
    const QByteArray fields[] = {QByteArray("secret"), QByteArray("DRM", 4), QByteArray("key-id"),
                                 QByteArray("https://licences.invalid/", 26)};
    for (const QByteArray& field : fields) {
      AppendLittleEndian(body, static_cast<quint64>(field.size()), 4);
      body.append(field);
    }
  } else {
    guid = QByteArray::fromHex("14E68A292226174CB935DAE07EE9289C");
    const QByteArray data("<WRMHEADER version=\"2.0.0.0\"></WRMHEADER>");
    AppendLittleEndian(body, static_cast<quint64>(data.size()), 4);
    body.append(data);
  }
  QByteArray object = guid;
  AppendLittleEndian(object, static_cast<quint64>(24 + body.size()), 8);
  return object + body;
}

}  // namespace

void MakeProtectedWma(const QString& path, AsfProtection kind) {
  MakeTone(path, 1.0, 44100, 2,
           {QStringLiteral("-c:a"), QStringLiteral("wmav2"), QStringLiteral("-b:a"), QStringLiteral("128k")});
  QByteArray bytes = ReadAll(path);
  // Header object: GUID (16), size (8), object count (4), two reserved bytes; its objects follow.
  if (bytes.size() < 30 || bytes.left(16) != QByteArray::fromHex("3026B2758E66CF11A6D900AA0062CE6C")) {
    throw std::runtime_error("ffmpeg did not write an ASF header object");
  }
  const QByteArray object = ProtectionObject(kind);
  quint64 size = 0;
  quint32 count = 0;
  for (int i = 7; i >= 0; --i) size = (size << 8) | static_cast<quint8>(bytes[16 + i]);
  for (int i = 3; i >= 0; --i) count = (count << 8) | static_cast<quint8>(bytes[24 + i]);
  QByteArray head;
  AppendLittleEndian(head, size + static_cast<quint64>(object.size()), 8);
  AppendLittleEndian(head, count + 1, 4);
  bytes.replace(16, 12, head);
  bytes.insert(30, object);
  if (!WriteAll(path, bytes)) throw std::runtime_error("cannot write the protected WMA file");
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
