// ReplayGain 2.0 tags and loudness figures as corvane-cli writes them while converting, ripping
// and measuring, judged by loudgain (gains and peaks of the same files), python3-mutagen (the
// tags as players read them) and ffmpeg (the audio the tags leave untouched).
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QRegularExpression>
#include <QSettings>

#include "support/CliFixture.h"
#include "support/DiscImageFixture.h"
#include "support/QtPrinters.h"
#include "support/SourceFixtures.h"

namespace corvane {
namespace {

using test::RunTool;
using test::ToolOutput;

constexpr double kGainTolerance = 0.1;    // dB
constexpr double kPeakTolerance = 0.001;  // of full scale
// A lossy encoder changes the level itself (LAME takes 0.45 dB off a 440 Hz sine at 128 kbps; a
// low-pass takes the top off broadband sound): what its decoder gives back differs from what was
// measured on the way in by up to this much. The coding noise moves the true peak of the random
// music-like source differently each run: 0.06 and 0.093 of full scale were seen through MP3.
constexpr double kLossyGainTolerance = 0.6;
constexpr double kLossyPeakTolerance = 0.15;

// One file's figures as loudgain reports them ("Album" for the files together).
struct Figures {
  double gain = 0;
  double peak = 0;
};

// loudgain's scan (no tagging) of `files` in album mode, by file name and "Album".
QMap<QString, Figures> Loudgain(const QStringList& files) {
  const QString table = QString::fromUtf8(
      ToolOutput(QStringLiteral("loudgain"),
                 QStringList{QStringLiteral("-a"), QStringLiteral("-O"), QStringLiteral("-q")} + files));
  QMap<QString, Figures> figures;
  for (const QString& line : table.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
    const QStringList cells = line.split(QLatin1Char('\t'));
    if (cells.size() < 9 || cells[0] == QLatin1String("File")) continue;
    figures.insert(QFileInfo(cells[0]).fileName(),
                   {cells[8].split(QLatin1Char(' '))[0].toDouble(), cells[3].toDouble()});
  }
  EXPECT_EQ(figures.size(), files.size() + 1) << table.toStdString();
  return figures;
}

// The REPLAYGAIN_* texts of `path` as mutagen reads them (ID3 TXXX frames, APEv2 items, Vorbis
// comments or ASF attributes), by upper-case name.
QMap<QString, QString> ReadGainTags(const QString& path) {
  static const char* const kScript = R"(
import json, sys, mutagen
tags = mutagen.File(sys.argv[1]).tags or {}
found = {}
for key in list(tags.keys()):
    name = key.split(':', 1)[1] if key.startswith('TXXX:') else key
    if not name.upper().startswith('REPLAYGAIN_'):
        continue
    value = tags[key]
    if isinstance(value, list):
        value = value[0]
    value = getattr(value, 'value', value)
    value = value.text[0] if hasattr(value, 'text') else value
    found[name.upper()] = str(value)
print(json.dumps(found))
)";
  const QJsonObject object = QJsonDocument::fromJson(ToolOutput(QStringLiteral("/usr/bin/python3"),
                                                                {QStringLiteral("-c"), QLatin1String(kScript), path}))
                                 .object();
  QMap<QString, QString> tags;
  for (auto it = object.begin(); it != object.end(); ++it) tags.insert(it.key(), it.value().toString());
  return tags;
}

// The tags of `path` against loudgain's figures for it and for its album, in the written forms.
void ExpectTagsMatch(const QString& path, const Figures& track, const std::optional<Figures>& album,
                     double gainTolerance = kGainTolerance, double peakTolerance = kPeakTolerance) {
  const QMap<QString, QString> tags = ReadGainTags(path);
  const QRegularExpression gainForm(QStringLiteral("^[+-]\\d+\\.\\d\\d dB$"));
  const QRegularExpression peakForm(QStringLiteral("^\\d+\\.\\d{6}$"));
  const auto check = [&](const char* gainName, const char* peakName, const Figures& expected) {
    const QString gain = tags.value(QLatin1String(gainName));
    const QString peak = tags.value(QLatin1String(peakName));
    EXPECT_TRUE(gainForm.match(gain).hasMatch())
        << path.toStdString() << " " << gainName << " = " << gain.toStdString();
    EXPECT_TRUE(peakForm.match(peak).hasMatch())
        << path.toStdString() << " " << peakName << " = " << peak.toStdString();
    EXPECT_NEAR(gain.split(QLatin1Char(' '))[0].toDouble(), expected.gain, gainTolerance)
        << path.toStdString() << " " << gainName;
    EXPECT_NEAR(peak.toDouble(), expected.peak, peakTolerance) << path.toStdString() << " " << peakName;
  };
  check("REPLAYGAIN_TRACK_GAIN", "REPLAYGAIN_TRACK_PEAK", track);
  if (album) {
    check("REPLAYGAIN_ALBUM_GAIN", "REPLAYGAIN_ALBUM_PEAK", *album);
  } else {
    EXPECT_FALSE(tags.contains(QStringLiteral("REPLAYGAIN_ALBUM_GAIN"))) << path.toStdString();
  }
}

QList<QJsonObject> JsonLines(const QByteArray& out) {
  QList<QJsonObject> lines;
  for (const QByteArray& line : out.split('\n')) {
    if (!line.trimmed().isEmpty()) lines << QJsonDocument::fromJson(line).object();
  }
  return lines;
}

class ReplayGainTest : public test::CliFixture {
 protected:
  // Music, speech and a sine, the three kinds of source every format is tried with, in `folder`.
  QStringList MakeSources(const QString& folder) const {
    QDir().mkpath(Path(folder));
    const QString music = Path(folder + QStringLiteral("/music.wav"));
    const QString speech = Path(folder + QStringLiteral("/speech.wav"));
    const QString sine = Path(folder + QStringLiteral("/sine.wav"));
    test::MakeMusic(music, 44100, 12);
    test::MakeSpeech(speech, QStringLiteral("Loudness is what listeners hear; a peak is only the loudest sample."));
    test::MakeTone(sine, 8, 44100, 2);
    return {music, speech, sine};
  }

  // corvane-cli convert of the folder `sources` into `out` with `options`; the JSON lines.
  QList<QJsonObject> Convert(const QString& sources, const QString& out, const QStringList& options) const {
    const test::ToolResult run = Cli(QStringList{QStringLiteral("convert"), QStringLiteral("--json"),
                                                 QStringLiteral("--overwrite"), QStringLiteral("--output"), Path(out)} +
                                     options + QStringList{Path(sources)});
    EXPECT_EQ(run.exitCode, 0) << run.out.constData() << run.err.constData();
    return JsonLines(run.out);
  }
};

struct Format {
  const char* name;
  bool lossless;
};

class ConvertedGains : public ReplayGainTest, public testing::WithParamInterface<Format> {
 protected:
  // `source` as the encoder of `output` was fed: a WAV of the output's rate and channels.
  QString AsFed(const QString& source, const QString& output) const {
    const QStringList layout =
        QString::fromUtf8(ToolOutput(QStringLiteral("ffprobe"),
                                     {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
                                      QStringLiteral("stream=sample_rate,channels"), QStringLiteral("-of"),
                                      QStringLiteral("csv=p=0"), output}))
            .trimmed()
            .split(QLatin1Char(','));
    const test::ToolResult run =
        Cli({QStringLiteral("convert"), QStringLiteral("--json"), QStringLiteral("--format"), QStringLiteral("wav"),
             QStringLiteral("--rate"), layout.value(0), QStringLiteral("--channels"), layout.value(1),
             QStringLiteral("--output"), Path(QStringLiteral("fed")), source});
    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    return JsonLines(run.out).value(0).value(QStringLiteral("output")).toString();
  }
};

// Each output carries its own track pair and the album pair of the folder it landed in: within
// loudgain's figures for the audio its encoder was fed, and for the output itself as far as the
// encoder kept the level. The audio is that of the same conversion without ReplayGain.
TEST_P(ConvertedGains, MatchLoudgainAndLeaveTheAudioAlone) {
  MakeSources(QStringLiteral("src"));
  const QStringList format{QStringLiteral("--format"), QLatin1String(GetParam().name)};
  const QList<QJsonObject> tagged =
      Convert(QStringLiteral("src"), QStringLiteral("album"),
              format + QStringList{QStringLiteral("--replaygain"), QStringLiteral("album")});
  const QList<QJsonObject> plain = Convert(QStringLiteral("src"), QStringLiteral("plain"),
                                           format + QStringList{QStringLiteral("--replaygain"), QStringLiteral("off")});
  ASSERT_EQ(tagged.size(), 4);  // three files and the summary
  ASSERT_EQ(plain.size(), 4);

  QStringList outputs;
  QStringList fed;
  for (int i = 0; i < 3; ++i) {
    outputs << tagged[i].value(QStringLiteral("output")).toString();
    fed << AsFed(tagged[i].value(QStringLiteral("source")).toString(), outputs.last());
  }
  const QMap<QString, Figures> onTheWayIn = Loudgain(fed);
  const QMap<QString, Figures> judged = Loudgain(outputs);
  const double gainTolerance = GetParam().lossless ? kGainTolerance : kLossyGainTolerance;
  const double peakTolerance = GetParam().lossless ? kPeakTolerance : kLossyPeakTolerance;
  for (int i = 0; i < 3; ++i) {
    const QString name = QFileInfo(outputs[i]).fileName();
    const Figures in = onTheWayIn.value(QFileInfo(fed[i]).fileName());
    ExpectTagsMatch(outputs[i], in, onTheWayIn.value(QStringLiteral("Album")));
    ExpectTagsMatch(outputs[i], judged.value(name), judged.value(QStringLiteral("Album")), gainTolerance,
                    peakTolerance);
    EXPECT_NEAR(tagged[i].value(QStringLiteral("gain")).toDouble(), in.gain, kGainTolerance) << name.toStdString();
    EXPECT_FALSE(plain[i].contains(QStringLiteral("gain")));
    EXPECT_TRUE(ReadGainTags(plain[i].value(QStringLiteral("output")).toString()).isEmpty());
    EXPECT_EQ(test::DecodeWithFfmpeg(outputs[i]),
              test::DecodeWithFfmpeg(plain[i].value(QStringLiteral("output")).toString()))
        << name.toStdString();
  }
  const QJsonArray albums = tagged[3].value(QStringLiteral("albums")).toArray();
  ASSERT_EQ(albums.size(), 1);
  EXPECT_NEAR(albums[0].toObject().value(QStringLiteral("gain")).toDouble(),
              onTheWayIn.value(QStringLiteral("Album")).gain, kGainTolerance);
}

INSTANTIATE_TEST_SUITE_P(Formats, ConvertedGains,
                         testing::Values(Format{"mp3", false}, Format{"ogg", false}, Format{"wma", false},
                                         Format{"flac", true}, Format{"ape", true}, Format{"mpc", false}),
                         [](const testing::TestParamInfo<Format>& param) { return std::string(param.param.name); });

// Track mode writes the track pair only; WAV and VOX outputs hold none and stay as they were.
TEST_F(ReplayGainTest, TrackModeAndFormatsWithoutTags) {
  MakeSources(QStringLiteral("src"));
  const QList<QJsonObject> flac = Convert(
      QStringLiteral("src"), QStringLiteral("flac"),
      {QStringLiteral("--format"), QStringLiteral("flac"), QStringLiteral("--replaygain"), QStringLiteral("track")});
  ASSERT_EQ(flac.size(), 4);
  QStringList outputs;
  for (int i = 0; i < 3; ++i) outputs << flac[i].value(QStringLiteral("output")).toString();
  const QMap<QString, Figures> judged = Loudgain(outputs);
  for (const QString& output : outputs) ExpectTagsMatch(output, judged.value(QFileInfo(output).fileName()), {});

  for (const QString& format : {QStringLiteral("wav"), QStringLiteral("vox")}) {
    const QList<QJsonObject> on =
        Convert(QStringLiteral("src"), format + QStringLiteral("-on"),
                {QStringLiteral("--format"), format, QStringLiteral("--replaygain"), QStringLiteral("album")});
    const QList<QJsonObject> off =
        Convert(QStringLiteral("src"), format + QStringLiteral("-off"), {QStringLiteral("--format"), format});
    ASSERT_EQ(on.size(), 4);
    ASSERT_EQ(off.size(), 4);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(test::ReadAll(on[i].value(QStringLiteral("output")).toString()),
                test::ReadAll(off[i].value(QStringLiteral("output")).toString()))
          << format.toStdString();
      EXPECT_TRUE(on[i].contains(QStringLiteral("loudness"))) << format.toStdString();  // measured all the same
    }
  }
}

// `loudness --tag` tags existing files as the conversion would have, audio untouched; a file
// that cannot hold the tags or cannot be read fails alone.
TEST_F(ReplayGainTest, LoudnessCommandMeasuresAndTagsExistingFiles) {
  MakeSources(QStringLiteral("src"));
  const QList<QJsonObject> plain =
      Convert(QStringLiteral("src"), QStringLiteral("plain"), {QStringLiteral("--format"), QStringLiteral("flac")});
  ASSERT_EQ(plain.size(), 4);
  QStringList files;
  for (int i = 0; i < 3; ++i) files << plain[i].value(QStringLiteral("output")).toString();
  const QByteArray audioBefore = test::DecodeWithFfmpeg(files[0]);

  const test::ToolResult measured =
      Cli(QStringList{QStringLiteral("loudness"), QStringLiteral("--tag"), QStringLiteral("--json")} + files);
  ASSERT_EQ(measured.exitCode, 0) << measured.err.constData();
  const QList<QJsonObject> lines = JsonLines(measured.out);
  ASSERT_EQ(lines.size(), 4);
  EXPECT_TRUE(lines[3].value(QStringLiteral("album")).toBool());
  const QMap<QString, Figures> judged = Loudgain(files);
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(lines[i].value(QStringLiteral("ok")).toBool());
    ExpectTagsMatch(files[i], judged.value(QFileInfo(files[i]).fileName()), judged.value(QStringLiteral("Album")));
  }
  EXPECT_EQ(test::DecodeWithFfmpeg(files[0]), audioBefore);

  const QString wav = Path(QStringLiteral("src/sine.wav"));
  const QByteArray wavBefore = test::ReadAll(wav);
  const test::ToolResult refused =
      Cli({QStringLiteral("loudness"), QStringLiteral("--tag"), wav, Path(QStringLiteral("missing.flac")), files[2]});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_TRUE(refused.err.contains("cannot hold ReplayGain tags")) << refused.err.constData();
  EXPECT_TRUE(refused.out.contains(files[2].toUtf8())) << refused.out.constData();
  EXPECT_EQ(test::ReadAll(wav), wavBefore);
  EXPECT_EQ(Cli({QStringLiteral("loudness")}).exitCode, 2);
  EXPECT_EQ(Cli({QStringLiteral("convert"), QStringLiteral("--replaygain"), QStringLiteral("loud"),
                 QStringLiteral("--output"), Path(QStringLiteral("x")), wav})
                .exitCode,
            2);
}

// What ffmpeg's EBU R128 meter (as a player would measure) says of a file: integrated loudness
// and true peak in dBTP.
struct R128 {
  double integrated = 0;
  double true_peak = 0;
};

R128 MeasureWithFfmpeg(const QString& path) {
  const QString log = QString::fromUtf8(
      RunTool(QStringLiteral("ffmpeg"),
              {QStringLiteral("-nostats"), QStringLiteral("-i"), path, QStringLiteral("-af"),
               QStringLiteral("ebur128=peak=true"), QStringLiteral("-f"), QStringLiteral("null"), QStringLiteral("-")})
          .err);
  const auto figure = [&log](const char* pattern) {
    const QRegularExpressionMatch match =
        QRegularExpression(QLatin1String(pattern)).match(log, log.lastIndexOf(QStringLiteral("Summary:")));
    EXPECT_TRUE(match.hasMatch()) << pattern << " in " << log.toStdString();
    return match.captured(1).toDouble();
  };
  return {figure("I:\\s+(-?[\\d.]+) LUFS"), figure("Peak:\\s+(-?[\\d.]+) dBFS")};
}

// Loudness normalisation brings music and a sine to the target, and lowers the gain of speech
// whose true peak would pass the ceiling; peak normalisation stays what it was, whatever
// loudness target the settings hold.
TEST_F(ReplayGainTest, LoudnessNormalisationReachesTheTargetBelowTheCeiling) {
  const QStringList sources = MakeSources(QStringLiteral("src"));
  const QStringList flac{QStringLiteral("--format"), QStringLiteral("flac")};
  const QList<QJsonObject> normalised =
      Convert(QStringLiteral("src"), QStringLiteral("quiet"),
              flac + QStringList{QStringLiteral("--normalize-loudness"), QStringLiteral("-23")});
  ASSERT_EQ(normalised.size(), 4);
  // The files come in the order found: music, sine, speech.
  for (int i : {0, 1}) {
    const R128 heard = MeasureWithFfmpeg(normalised[i].value(QStringLiteral("output")).toString());
    EXPECT_NEAR(heard.integrated, -23.0, 0.2) << i;
    EXPECT_LE(heard.true_peak, -1.0) << i;
  }
  const QList<QJsonObject> loud =
      Convert(QStringLiteral("src"), QStringLiteral("loud"),
              flac + QStringList{QStringLiteral("--normalize-loudness"), QStringLiteral("-8"),
                                 QStringLiteral("--true-peak"), QStringLiteral("-2")});
  ASSERT_EQ(loud.size(), 4);
  const R128 speech = MeasureWithFfmpeg(loud[2].value(QStringLiteral("output")).toString());
  EXPECT_LE(speech.true_peak, -2.0);
  EXPECT_GT(speech.true_peak, -2.5);
  EXPECT_LT(speech.integrated, -8.5);

  const QList<QJsonObject> peak = Convert(QStringLiteral("src"), QStringLiteral("peak"),
                                          flac + QStringList{QStringLiteral("--normalize"), QStringLiteral("80")});
  QSettings stored(Path(QStringLiteral("config/Quillon/Bexlor.conf")), QSettings::IniFormat);
  stored.setValue(QStringLiteral("Convert Setting/Normalization Mode"), 1);
  stored.setValue(QStringLiteral("Convert Setting/Loudness Target"), QStringLiteral("-10"));
  stored.sync();
  const QList<QJsonObject> peakAgain = Convert(QStringLiteral("src"), QStringLiteral("peak-again"),
                                               flac + QStringList{QStringLiteral("--normalize"), QStringLiteral("80")});
  ASSERT_EQ(peak.size(), 4);
  ASSERT_EQ(peakAgain.size(), 4);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(test::ReadAll(peak[i].value(QStringLiteral("output")).toString()),
              test::ReadAll(peakAgain[i].value(QStringLiteral("output")).toString()))
        << i;
  }
  EXPECT_EQ(Cli({QStringLiteral("convert"), QStringLiteral("--normalize"), QStringLiteral("80"),
                 QStringLiteral("--normalize-loudness"), QStringLiteral("-18"), QStringLiteral("--output"),
                 Path(QStringLiteral("x")), sources[0]})
                .exitCode,
            2);
}

// A rip in album mode: the tracks' figures in the JSON lines and the rip log, their tags and the
// album's within loudgain's figures for the ripped files.
TEST_F(ReplayGainTest, RipCarriesEachTracksLoudnessIntoTagsJsonAndLog) {
  const test::DiscImage disc = test::DiscImageFixture(Path(QStringLiteral("images")))
                                   .Build(QStringLiteral("disc"), {{{.sectors = 75 * 6}, {.sectors = 75 * 4}}});
  const test::ToolResult run = Cli({QStringLiteral("rip"), QStringLiteral("--device"), disc.cue,
                                    QStringLiteral("--output"), Path(QStringLiteral("out")), QStringLiteral("--format"),
                                    QStringLiteral("flac"), QStringLiteral("--no-verify"),
                                    QStringLiteral("--replaygain"), QStringLiteral("album"), QStringLiteral("--json")});
  ASSERT_EQ(run.exitCode, 0) << run.err.constData();
  const QList<QJsonObject> lines = JsonLines(run.out);
  ASSERT_EQ(lines.size(), 3);
  QStringList files;
  for (int i = 0; i < 2; ++i) files << lines[i].value(QStringLiteral("output")).toString();
  const QMap<QString, Figures> judged = Loudgain(files);
  for (int i = 0; i < 2; ++i) {
    const Figures track = judged.value(QFileInfo(files[i]).fileName());
    EXPECT_NEAR(lines[i].value(QStringLiteral("gain")).toDouble(), track.gain, kGainTolerance);
    EXPECT_NEAR(lines[i].value(QStringLiteral("peak")).toDouble(), track.peak, kPeakTolerance);
    ExpectTagsMatch(files[i], track, judged.value(QStringLiteral("Album")));
  }
  EXPECT_NEAR(lines[2].value(QStringLiteral("album")).toObject().value(QStringLiteral("gain")).toDouble(),
              judged.value(QStringLiteral("Album")).gain, kGainTolerance);
  QFile log(lines[2].value(QStringLiteral("log")).toString());
  ASSERT_TRUE(log.open(QIODevice::ReadOnly));
  const QString text = QString::fromUtf8(log.readAll());
  EXPECT_EQ(text.count(QRegularExpression(QStringLiteral("\\n  Track gain: +[+-]\\d+\\.\\d\\d dB\\n"))), 2)
      << text.toStdString();
  EXPECT_EQ(text.count(QRegularExpression(QStringLiteral("\\nAlbum gain: +[+-]\\d+\\.\\d\\d dB\\n"))), 1)
      << text.toStdString();
}

// A rip that normalises reads each track twice and brings it to the target; its ReplayGain is
// measured on what was written, so the gain left is the distance from -18 LUFS.
TEST_F(ReplayGainTest, RipNormalisesEachTrackAndMeasuresWhatItWrote) {
  const test::DiscImage disc = test::DiscImageFixture(Path(QStringLiteral("images")))
                                   .Build(QStringLiteral("disc"), {{{.sectors = 75 * 5}, {.sectors = 75 * 3}}});
  const test::ToolResult run =
      Cli({QStringLiteral("rip"), QStringLiteral("--device"), disc.cue, QStringLiteral("--output"),
           Path(QStringLiteral("out")), QStringLiteral("--format"), QStringLiteral("flac"),
           QStringLiteral("--no-verify"), QStringLiteral("--normalize-loudness"), QStringLiteral("-20"),
           QStringLiteral("--replaygain"), QStringLiteral("track"), QStringLiteral("--json")});
  ASSERT_EQ(run.exitCode, 0) << run.err.constData();
  const QList<QJsonObject> lines = JsonLines(run.out);
  ASSERT_EQ(lines.size(), 3);
  for (int i = 0; i < 2; ++i) {
    const QString file = lines[i].value(QStringLiteral("output")).toString();
    EXPECT_NEAR(MeasureWithFfmpeg(file).integrated, -20.0, 0.2) << i;
    EXPECT_NEAR(
        ReadGainTags(file).value(QStringLiteral("REPLAYGAIN_TRACK_GAIN")).section(QLatin1Char(' '), 0, 0).toDouble(),
        2.0, 0.05)
        << i;
  }
}

}  // namespace
}  // namespace corvane
