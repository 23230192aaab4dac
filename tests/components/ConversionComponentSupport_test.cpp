// The support answers of the conversion component, judged against the encoders themselves:
// every MP3 combination it accepts is really encoded and read back by ffmpeg, every Ogg answer
// is compared with what ffmpeg's own libvorbis encoder accepts.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QTemporaryDir>

#include "components/ConverterTestTools.h"
#include "components/IConversionComponent.h"
#include "formats/OutputFormatCatalogue.h"

namespace corvane {
namespace {

using catalogue::kBitrates;
using catalogue::kSampleRates;

// MPEG-1 layer III takes 32..320 kbps, MPEG-2 8..160, MPEG-2.5 8..64.
bool MpegAllows(int rate, int kbps) {
  if (rate >= 32000) return kbps >= 32 && kbps <= 320;
  if (rate >= 16000) return kbps >= 8 && kbps <= 160;
  return kbps >= 8 && kbps <= 64;
}

TEST(ConverterSupport, Mp3AnswersFollowTheMpegTablesAndEveryAcceptedCombinationEncodes) {
  QTemporaryDir dir;
  const auto converter = CreateAudioConverter();
  ASSERT_TRUE(converter);
  QStringList arguments{QStringLiteral("-hide_banner")};
  QStringList expected;
  for (int channels : {1, 2}) {
    for (int rate : kSampleRates) {
      for (int kbps : kBitrates) {
        const bool accepted = converter->IsMp3FormatSupported(rate, kbps, channels);
        EXPECT_EQ(accepted, MpegAllows(rate, kbps)) << rate << " Hz " << kbps << " kbps " << channels << " ch";
        if (!accepted) continue;
        Mp3EncoderSettings settings;
        settings.SetSampleRate(rate);
        settings.SetBitrate(kbps);
        settings.SetChannels(channels);
        settings.SetVbrHeader(0);
        converter->SetMp3Encoder(settings);
        const QString path = dir.filePath(QStringLiteral("%1_%2_%3.mp3").arg(rate).arg(kbps).arg(channels));
        test::EncodeFile(*converter, path, ComponentFormat::Mp3, test::SineSweep(rate, channels, 0.2), rate, channels);
        arguments << QStringLiteral("-i") << path;
        expected << QStringLiteral("mp3, %1 Hz, %2, fltp, %3 kb/s")
                        .arg(rate)
                        .arg(channels == 1 ? QStringLiteral("mono") : QStringLiteral("stereo"))
                        .arg(kbps);
      }
    }
  }
  ASSERT_EQ(expected.size(), 2 * 3 * (14 + 13 + 8));
  // One ffmpeg run describes every input (it then complains that no output was given).
  const test::ToolResult described = test::RunTool(QStringLiteral("ffmpeg"), arguments, {.mayFail = true});
  const QRegularExpression stream(QStringLiteral(R"(Stream #(\d+):0: Audio: (mp3, \d+ Hz, \w+, fltp, \d+ kb/s))"));
  QStringList seen(expected.size());
  for (auto match = stream.globalMatch(QString::fromUtf8(described.err)); match.hasNext();) {
    const auto m = match.next();
    seen[m.captured(1).toInt()] = m.captured(2);
  }
  for (qsizetype i = 0; i < expected.size(); ++i) EXPECT_EQ(seen[i], expected[i]) << arguments[2 * i + 2].toStdString();
}

TEST(ConverterSupport, OggAnswersAgreeWithLibvorbisAsFfmpegDrivesIt) {
  const auto converter = CreateAudioConverter();
  ASSERT_TRUE(converter);
  int accepted = 0;
  for (int channels : {1, 2}) {
    for (int rate : kSampleRates) {
      for (int kbps : kBitrates) {
        const bool ours = converter->IsOggFormatSupported(rate, channels, kbps, kbps, kbps);
        const QString bitrate = QStringLiteral("%1k").arg(kbps);
        const test::ToolResult theirs = test::RunTool(
            QStringLiteral("ffmpeg"),
            {QStringLiteral("-v"), QStringLiteral("quiet"), QStringLiteral("-f"), QStringLiteral("lavfi"),
             QStringLiteral("-i"),
             QStringLiteral("anullsrc=r=%1:cl=%2").arg(rate).arg(channels == 1 ? "mono" : "stereo"),
             QStringLiteral("-t"), QStringLiteral("0.01"), QStringLiteral("-c:a"), QStringLiteral("libvorbis"),
             QStringLiteral("-b:a"), bitrate, QStringLiteral("-minrate"), bitrate, QStringLiteral("-maxrate"), bitrate,
             QStringLiteral("-f"), QStringLiteral("null"), QStringLiteral("-")},
            {.mayFail = true});
        EXPECT_EQ(ours, theirs.exitCode == 0) << rate << " Hz " << kbps << " kbps " << channels << " ch";
        accepted += ours ? 1 : 0;
      }
    }
  }
  // Neither everything nor nothing: the question really discriminates.
  EXPECT_GT(accepted, 100);
  EXPECT_LT(accepted, 9 * 17 * 2);
}

TEST(ConverterSupport, NonsenseCombinationsAreRefused) {
  const auto converter = CreateAudioConverter();
  ASSERT_TRUE(converter);
  EXPECT_FALSE(converter->IsMp3FormatSupported(44100, 128, 3));
  EXPECT_FALSE(converter->IsMp3FormatSupported(44100, 0, 2));
  EXPECT_FALSE(converter->IsMp3FormatSupported(0, 128, 2));
  EXPECT_FALSE(converter->IsMp3FormatSupported(22000, 64, 2));  // not an MPEG rate
  EXPECT_FALSE(converter->IsOggFormatSupported(44100, 2, 0, 0, 0));
  EXPECT_FALSE(converter->IsOggFormatSupported(44100, 3, 128, 128, 128));
  EXPECT_FALSE(converter->IsOggFormatSupported(-1, 2, 128, 128, 128));
}

}  // namespace
}  // namespace corvane
