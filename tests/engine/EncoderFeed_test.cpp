#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>

#include "engine/EncoderFeed.h"
#include "support/ExternalTools.h"

namespace corvane {
namespace {

QByteArray AsBytes(const std::vector<qint16>& samples) {
  return QByteArray(reinterpret_cast<const char*>(samples.data()), static_cast<qsizetype>(samples.size() * 2));
}

TEST(EncoderFeed, FlacReceivesTheStreamBitExact) {
  QTemporaryDir dir;
  const QString out = dir.filePath(QStringLiteral("out.flac"));
  const QString flac = EncoderFeed::FindProgram(QStringLiteral("flac"), QString());
  ASSERT_FALSE(flac.isEmpty());
  auto feed = EncoderFeed::Start(flac, {QStringLiteral("-f"), QStringLiteral("-o"), out, QStringLiteral("-5"),
                                        QStringLiteral("-")},
                                 44100, 2, 16);
  ASSERT_TRUE(feed);
  const QByteArray pcm = AsBytes(test::MakeSweep(44100, 2, 44100 * 2 + 123));
  // Odd block sizes, as a short last block would be.
  for (qsizetype at = 0; at < pcm.size(); at += 44100 * 2) {
    ASSERT_TRUE(feed->Write(pcm.constData() + at, std::min<qsizetype>(44100 * 2, pcm.size() - at)));
  }
  EXPECT_EQ(feed->Stop(), EncoderFeed::Finish::Done);
  EXPECT_EQ(test::DecodeWithFfmpeg(out), pcm);
}

TEST(EncoderFeed, ProgramFolderComesBeforePath) {
  QTemporaryDir dir;
  const QString local = dir.filePath(QStringLiteral("flac"));
  QFile script(local);
  ASSERT_TRUE(script.open(QIODevice::WriteOnly));
  script.write("#!/bin/sh\nexit 0\n");
  script.close();
  script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  EXPECT_EQ(EncoderFeed::FindProgram(QStringLiteral("flac"), dir.path()), local);
  EXPECT_NE(EncoderFeed::FindProgram(QStringLiteral("flac"), QDir::rootPath()), local);
  EXPECT_TRUE(EncoderFeed::FindProgram(QStringLiteral("no-such-encoder-here"), dir.path()).isEmpty());
  EXPECT_EQ(EncoderFeed::Start(QString(), {}, 44100, 2, 16), nullptr);
  EXPECT_EQ(EncoderFeed::Start(dir.filePath(QStringLiteral("missing")), {}, 44100, 2, 16), nullptr);
}

TEST(EncoderFeed, AFailingExitStatusIsAFailure) {
  // flac refuses an option it does not know, after reading nothing.
  const QString flac = EncoderFeed::FindProgram(QStringLiteral("flac"), QString());
  auto feed = EncoderFeed::Start(flac, {QStringLiteral("--no-such-option"), QStringLiteral("-")}, 44100, 2, 16);
  if (feed) {
    EXPECT_EQ(feed->Stop(), EncoderFeed::Finish::Failed);
    EXPECT_NE(feed->ExitStatus(), 0);
  }
}

TEST(EncoderFeed, AKilledEncoderStopsTakingInput) {
  QTemporaryDir dir;
  const QString out = dir.filePath(QStringLiteral("out.flac"));
  auto feed = EncoderFeed::Start(EncoderFeed::FindProgram(QStringLiteral("flac"), QString()),
                                 {QStringLiteral("-f"), QStringLiteral("-o"), out, QStringLiteral("-")}, 44100, 2, 16);
  ASSERT_TRUE(feed);
  const QByteArray block = AsBytes(test::MakeSweep(44100, 2, 22050));
  ASSERT_TRUE(feed->Write(block.constData(), block.size()));
  // Kill the encoder by its process id, the way a crash or the user would.
  const QString pids = QString::fromUtf8(test::RunTool(QStringLiteral("pgrep"), {QStringLiteral("-f"), out}, {.mayFail = true}).out).trimmed();
  ASSERT_FALSE(pids.isEmpty());
  for (const QString& pid : pids.split(QLatin1Char('\n'))) ::kill(pid.toInt(), SIGKILL);
  bool stillTaking = true;
  for (int i = 0; i < 50 && stillTaking; ++i) stillTaking = feed->Write(block.constData(), block.size());
  EXPECT_FALSE(stillTaking);
  EXPECT_FALSE(feed->IsActive());
  EXPECT_EQ(feed->Stop(), EncoderFeed::Finish::Crashed);
}

}  // namespace
}  // namespace corvane
