#include <gtest/gtest.h>

#include <QJsonObject>
#include <QTemporaryDir>

#include "engine/WmaEncoder.h"
#include "support/ExternalTools.h"

namespace corvane {
namespace {

TEST(WmaEncoder, WritesAnAsfFileThatDecodesAtTheRightLength) {
  QTemporaryDir dir;
  const QString out = dir.filePath(QStringLiteral("out.wma"));
  EngineResult<std::unique_ptr<WmaEncoder>> opened = WmaEncoder::Open(44100, 2, 128000, out);
  ASSERT_TRUE(opened.Succeeded());
  std::unique_ptr<WmaEncoder> encoder = std::move(*opened.value);
  const QString tags[][2] = {{QStringLiteral("Title"), QStringLiteral("Grüße")},
                             {QStringLiteral("Author"), QStringLiteral("Artist")},
                             {QStringLiteral("Description"), QStringLiteral("a comment")},
                             {QStringLiteral("WM/AlbumTitle"), QStringLiteral("Album")},
                             {QStringLiteral("WM/Genre"), QStringLiteral("Jazz")},
                             {QStringLiteral("WM/Year"), QStringLiteral("1999")},
                             {QStringLiteral("WM/TrackNumber"), QString()}};
  for (const auto& tag : tags) EXPECT_TRUE(encoder->SetTag(tag[0], tag[1]));
  const int frames = 44100 * 3 / 2;
  const auto samples = test::MakeSweep(44100, 2, frames);
  for (int at = 0; at < frames; at += 22050) {
    const int count = std::min(22050, frames - at);
    ASSERT_TRUE(encoder->Write(samples.data() + at * 2, count * 4));
  }
  EXPECT_FALSE(encoder->SetTag(QStringLiteral("Title"), QStringLiteral("late"))) << "tags go before the audio";
  ASSERT_TRUE(encoder->Close());

  const QJsonObject probe = test::ProbeWithFfprobe(out);
  EXPECT_EQ(probe.value(QStringLiteral("codec_name")).toString(), QStringLiteral("wmav2"));
  EXPECT_EQ(probe.value(QStringLiteral("sample_rate")).toInt(), 44100);
  EXPECT_EQ(probe.value(QStringLiteral("channels")).toInt(), 2);
  const QJsonObject read = probe.value(QStringLiteral("tags")).toObject();
  EXPECT_EQ(read.value(QStringLiteral("title")).toString(), QStringLiteral("Grüße"));
  EXPECT_EQ(read.value(QStringLiteral("artist")).toString(), QStringLiteral("Artist"));
  EXPECT_EQ(read.value(QStringLiteral("comment")).toString(), QStringLiteral("a comment"));
  EXPECT_EQ(read.value(QStringLiteral("album")).toString(), QStringLiteral("Album"));
  EXPECT_EQ(read.value(QStringLiteral("genre")).toString(), QStringLiteral("Jazz"));
  EXPECT_TRUE(read.value(QStringLiteral("WM/Year")).toString() == QStringLiteral("1999") ||
              read.value(QStringLiteral("date")).toString() == QStringLiteral("1999"));

  // The decoded length is the input's, give or take one encoder frame and its delay.
  const qsizetype decodedFrames = test::DecodeWithFfmpeg(out).size() / 4;
  EXPECT_NEAR(static_cast<double>(decodedFrames), frames, 2 * 2048.0);
}

TEST(WmaEncoder, RefusesWhatTheEncoderDoesNotTake) {
  QTemporaryDir dir;
  EXPECT_EQ(WmaEncoder::Open(44100, 2, 0, dir.filePath(QStringLiteral("a.wma"))).status.code, EngineError::Format);
  EXPECT_FALSE(WmaEncoder::Open(44100, 3, 128000, dir.filePath(QStringLiteral("b.wma"))).Succeeded());
  EXPECT_FALSE(WmaEncoder::Accepts(44100, 2, 0));
  EXPECT_TRUE(WmaEncoder::Accepts(44100, 2, 128000));
  EXPECT_EQ(WmaEncoder::Open(44100, 2, 128000, dir.filePath(QStringLiteral("no/such/folder/c.wma"))).status.code,
            EngineError::Create);
}

}  // namespace
}  // namespace corvane
