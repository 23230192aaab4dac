// Pictures carried from every kind of source that holds them into every output that does,
// judged with python3-mutagen: bytes, MIME type, type and description kept, in order; a cover
// file beside a source without pictures; hostile pictures dropped with a detail, never failing.
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include "support/CliFixture.h"
#include "support/QtPrinters.h"
#include "support/ToolRunner.h"

namespace corvane {
namespace {

using test::RunTool;
using test::ToolOutput;

// Embeds pictures into a file (`embed PATH [TYPE MIME DESCRIPTION FILE]...`) or lists them
// (`dump PATH`: one "type mime description md5" line each), for every kind of file mutagen reads.
constexpr char kPictureTool[] = R"PY(
import base64, hashlib, struct, sys, mutagen
from mutagen.apev2 import APEValue, BINARY
from mutagen.asf import ASFByteArrayAttribute
from mutagen.flac import Picture
from mutagen.id3 import APIC
from mutagen.mp4 import MP4Cover
APE_KEYS = {3: "Cover Art (Front)", 4: "Cover Art (Back)"}
def utf16z(text): return text.encode("utf-16-le") + b"\0\0"
def embed(f, pics):
    name = type(f).__name__
    if name in ("MP3",):
        if f.tags is None: f.add_tags()
        for t, m, d, data in pics: f.tags.add(APIC(encoding=3, mime=m, type=t, desc=d, data=data))
    elif name == "FLAC":
        for t, m, d, data in pics:
            p = Picture(); p.type, p.mime, p.desc, p.data = t, m, d, data; f.add_picture(p)
    elif name in ("OggVorbis", "OggOpus"):
        blocks = []
        for t, m, d, data in pics:
            p = Picture(); p.type, p.mime, p.desc, p.data = t, m, d, data
            blocks.append(base64.b64encode(p.write()).decode())
        f["METADATA_BLOCK_PICTURE"] = blocks
    elif name == "MP4":
        f.tags["covr"] = [MP4Cover(data, MP4Cover.FORMAT_PNG if m == "image/png" else MP4Cover.FORMAT_JPEG) for t, m, d, data in pics]
    elif name == "ASF":
        f.tags["WM/Picture"] = [ASFByteArrayAttribute(struct.pack("<BI", t, len(data)) + utf16z(m) + utf16z(d) + data) for t, m, d, data in pics]
    else:
        if f.tags is None: f.add_tags()
        for t, m, d, data in pics: f.tags[APE_KEYS[t]] = APEValue(d.encode() + b"\0" + data, BINARY)
    f.save()
def sniff(data):
    return "image/png" if data.startswith(b"\x89PNG") else "image/jpeg" if data.startswith(b"\xff\xd8") else "?"
def dump(f):
    name, out = type(f).__name__, []
    if name == "MP3":
        out = [(p.type, p.mime, p.desc, p.data) for p in (f.tags.getall("APIC") if f.tags else [])]
    elif name == "FLAC":
        out = [(p.type, p.mime, p.desc, p.data) for p in f.pictures]
    elif name in ("OggVorbis", "OggOpus"):
        for b in f.get("METADATA_BLOCK_PICTURE", []):
            p = Picture(base64.b64decode(b)); out.append((p.type, p.mime, p.desc, p.data))
    elif name == "MP4":
        out = [(3, sniff(bytes(c)), "", bytes(c)) for c in f.tags.get("covr", [])]
    elif name == "ASF":
        for a in f.tags.get("WM/Picture", []):
            v = a.value; t, n = struct.unpack_from("<BI", v)
            parts, i = [], 5
            for _ in range(2):
                j = i
                while v[j:j+2] != b"\0\0": j += 2
                parts.append(v[i:j].decode("utf-16-le")); i = j + 2
            out.append((t, parts[0], parts[1], v[i:i+n]))
    elif f.tags is not None:
        for t, key in APE_KEYS.items():
            if key in f.tags:
                d, data = f.tags[key].value.split(b"\0", 1); out.append((t, sniff(data), d.decode(), data))
    for t, m, d, data in out: print(int(t), m, d or "-", hashlib.md5(data).hexdigest())
f = mutagen.File(sys.argv[2])
if f is None: sys.exit("not a file mutagen reads: " + sys.argv[2])
if sys.argv[1] == "embed":
    a = sys.argv[3:]
    embed(f, [(int(a[i]), a[i+1], a[i+2], open(a[i+3], "rb").read()) for i in range(0, len(a), 4)])
else:
    dump(f)
)PY";

QString Md5(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) throw test::ToolFailure(qPrintable(path));
  return QString::fromLatin1(QCryptographicHash::hash(file.readAll(), QCryptographicHash::Md5).toHex());
}

class ConvertedPictures : public test::CliFixture {
 protected:
  static QString Python() { return QStringLiteral("/usr/bin/python3"); }
  QStringList Dump(const QString& path) const {
    return QString::fromUtf8(
               ToolOutput(Python(), {QStringLiteral("-c"), QLatin1String(kPictureTool), QStringLiteral("dump"), path}))
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  }
  void Embed(const QString& path, const QStringList& pictures) const {
    RunTool(Python(),
            QStringList{QStringLiteral("-c"), QLatin1String(kPictureTool), QStringLiteral("embed"), path} + pictures);
  }
  QString Ffmpeg(const QStringList& arguments, const QString& name) const {
    RunTool(QStringLiteral("ffmpeg"), QStringList{QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y")} +
                                          arguments + QStringList{Path(name)});
    return Path(name);
  }
  // One second of a tone, as WAV.
  QString Tone(const QString& name) const {
    return Ffmpeg(
        {QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
         QStringLiteral("sine=frequency=440:duration=1:sample_rate=44100"), QStringLiteral("-ac"), QStringLiteral("2")},
        name);
  }
  // corvane-cli convert of `sources` into `folder`; the JSON object of each file.
  std::vector<QJsonObject> Convert(const QStringList& sources, const QString& format, const QString& folder) const {
    const test::ToolResult run =
        RunTool(CliPath(),
                QStringList{QStringLiteral("convert"), QStringLiteral("--format"), format, QStringLiteral("--output"),
                            Path(folder), QStringLiteral("--json"), QStringLiteral("--overwrite")} +
                    sources,
                CliRun());
    std::vector<QJsonObject> files;
    for (const QByteArray& line : run.out.split('\n')) {
      const QJsonObject object = QJsonDocument::fromJson(line).object();
      if (object.contains(QStringLiteral("source"))) files.push_back(object);
    }
    return files;
  }
};

// Every source kind with a front JPEG and a back PNG, into every output kind: the pictures arrive
// byte for byte, in the source's order, with MIME type, type and description (an M4A source
// keeps neither type nor description: its first picture is the front cover).
TEST_F(ConvertedPictures, EverySourceToEveryOutputKeepsItsPictures) {
  ASSERT_TRUE(QDir().mkpath(Path(QStringLiteral("art"))));
  const QString front = Ffmpeg({QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                                QStringLiteral("testsrc=size=64x48"), QStringLiteral("-frames:v"), QStringLiteral("1")},
                               QStringLiteral("art/front.jpg"));
  const QString back = Ffmpeg({QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                               QStringLiteral("color=c=red:s=16x16"), QStringLiteral("-frames:v"), QStringLiteral("1")},
                              QStringLiteral("art/back.png"));
  const QString tone = Tone(QStringLiteral("tone.wav"));
  QStringList sources;
  for (const auto& [extension, codec] :
       std::vector<std::pair<QString, QString>>{{QStringLiteral("mp3"), QStringLiteral("libmp3lame")},
                                                {QStringLiteral("flac"), QStringLiteral("flac")},
                                                {QStringLiteral("ogg"), QStringLiteral("libvorbis")},
                                                {QStringLiteral("opus"), QStringLiteral("libopus")},
                                                {QStringLiteral("m4a"), QStringLiteral("aac")},
                                                {QStringLiteral("wma"), QStringLiteral("wmav2")}})
    sources << Ffmpeg({QStringLiteral("-i"), tone, QStringLiteral("-c:a"), codec},
                      QStringLiteral("source-") + extension + QLatin1Char('.') + extension);
  for (const QString& format : {QStringLiteral("ape"), QStringLiteral("mpc")}) {
    ASSERT_EQ(Convert({tone}, format, format).size(), 1U);
    const QStringList made = QDir(Path(format)).entryList(QDir::Files);
    ASSERT_EQ(made.size(), 1);
    const QString source = Path(QStringLiteral("source-%1.%1").arg(format));
    ASSERT_TRUE(QFile::rename(QDir(Path(format)).filePath(made[0]), source));
    sources << source;
  }
  for (const QString& source : sources) {
    Embed(source, {QStringLiteral("3"), QStringLiteral("image/jpeg"), QStringLiteral("Front"), front,
                   QStringLiteral("4"), QStringLiteral("image/png"), QStringLiteral("Back"), back});
  }
  const auto keepsBoth = [](const QString& path) { return !path.endsWith(QLatin1String(".m4a"), Qt::CaseInsensitive); };
  for (const QString& format : {QStringLiteral("mp3"), QStringLiteral("flac"), QStringLiteral("ogg"),
                                QStringLiteral("wma"), QStringLiteral("ape"), QStringLiteral("mpc")}) {
    const QString folder = QStringLiteral("out-") + format;
    for (const QJsonObject& file : Convert(sources, format, folder)) {
      const QString source = file.value(QStringLiteral("source")).toString();
      SCOPED_TRACE(qPrintable(source + QStringLiteral(" -> ") + format));
      ASSERT_EQ(file.value(QStringLiteral("status")).toString(), QStringLiteral("Completed"));
      EXPECT_TRUE(file.value(QStringLiteral("detail")).toString().isEmpty());
      QStringList pictures = Dump(file.value(QStringLiteral("output")).toString());
      ASSERT_FALSE(pictures.isEmpty());
      QStringList expected = Dump(source);
      if (!keepsBoth(source)) {
        // Both arrive as front covers without a description; the APEv2 formats keep one per type.
        EXPECT_EQ(pictures[0], expected[0]);
        continue;
      }
      if (format == QLatin1String("ape") || format == QLatin1String("mpc") || source.endsWith(QLatin1String(".wma"))) {
        // APEv2 items carry no order; ASF spreads one name's values over two objects, which
        // readers visit in different orders.
        pictures.sort();
        expected.sort();
      }
      EXPECT_EQ(pictures, expected);
      EXPECT_TRUE(pictures.contains(QStringLiteral("3 image/jpeg Front ") + Md5(front)));
    }
  }
}

// A source without pictures takes the cover file beside it, whatever its letter case; hostile
// pictures are left out with a detail line and the file still converts.
TEST_F(ConvertedPictures, CoverFilesBesideTheSourceAndHostilePictures) {
  const QString cover = Ffmpeg({QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                                QStringLiteral("testsrc=size=32x32"), QStringLiteral("-frames:v"), QStringLiteral("1")},
                               QStringLiteral("shot.jpg"));
  QFile image(cover);
  ASSERT_TRUE(image.open(QIODevice::ReadOnly));
  const QByteArray jpeg = image.readAll();
  QByteArray hugePng("\x89PNG\r\n\x1A\n", 8);
  hugePng += QByteArray(40 * 1024 * 1024, '\x01');
  const std::vector<std::pair<QString, QByteArray>> cases = {{QStringLiteral("Cover.JPG"), jpeg},
                                                             {QStringLiteral("folder.jpg"), jpeg.left(jpeg.size() / 2)},
                                                             {QStringLiteral("front.png"), hugePng},
                                                             {QStringLiteral("cover.jpg"), "just some text\n"}};
  for (size_t i = 0; i < cases.size(); ++i) {
    const auto& [name, bytes] = cases[i];
    SCOPED_TRACE(qPrintable(name));
    const QString folder = QStringLiteral("case%1").arg(i);
    ASSERT_TRUE(QDir().mkpath(Path(folder)));
    QFile file(Path(folder + QLatin1Char('/') + name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();
    const QString source = Tone(folder + QStringLiteral("/tone.wav"));
    const std::vector<QJsonObject> files = Convert({source}, QStringLiteral("flac"), folder + QStringLiteral("/out"));
    ASSERT_EQ(files.size(), 1U);
    EXPECT_EQ(files[0].value(QStringLiteral("status")).toString(), QStringLiteral("Completed"));
    const QStringList pictures = Dump(files[0].value(QStringLiteral("output")).toString());
    const QString detail = files[0].value(QStringLiteral("detail")).toString();
    if (i == 0) {
      EXPECT_EQ(pictures, QStringList{QStringLiteral("3 image/jpeg - ") + Md5(cover)});
      EXPECT_TRUE(detail.isEmpty());
    } else {
      EXPECT_TRUE(pictures.isEmpty()) << qPrintable(pictures.join(QLatin1Char('|')));
      EXPECT_TRUE(detail.startsWith(QStringLiteral("picture left out"))) << qPrintable(detail);
    }
  }
  // An MP3 whose APIC frame claims more bytes than its tag holds.
  const QString mp3 = Ffmpeg(
      {QStringLiteral("-i"), Tone(QStringLiteral("plain.wav")), QStringLiteral("-c:a"), QStringLiteral("libmp3lame")},
      QStringLiteral("damaged.mp3"));
  Embed(mp3, {QStringLiteral("3"), QStringLiteral("image/jpeg"), QStringLiteral("Front"), cover});
  QFile damaged(mp3);
  ASSERT_TRUE(damaged.open(QIODevice::ReadWrite));
  QByteArray bytes = damaged.readAll();
  const qsizetype frame = bytes.indexOf("APIC");
  ASSERT_GT(frame, 0);
  bytes[frame + 4] = '\x7F';
  ASSERT_TRUE(damaged.seek(0) && damaged.write(bytes) == bytes.size());
  damaged.close();
  const std::vector<QJsonObject> files = Convert({mp3}, QStringLiteral("ogg"), QStringLiteral("damaged-out"));
  ASSERT_EQ(files.size(), 1U);
  EXPECT_EQ(files[0].value(QStringLiteral("status")).toString(), QStringLiteral("Completed"));
}

}  // namespace
}  // namespace corvane
