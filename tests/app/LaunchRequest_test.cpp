#include <gtest/gtest.h>

#include "app/LaunchRequest.h"

namespace corvane {
namespace {

LaunchRequest P(const char* text) { return LaunchRequest::Parse(QString::fromUtf8(text)); }

TEST(LaunchRequest, RecognisesTheThreeActions) {
  EXPECT_EQ(P("-a CONVERT -s /music/a.mp3").mode, LaunchMode::SingleFile);
  EXPECT_EQ(P("-a CONVERT -s /music/a.mp3").source, QStringLiteral("/music/a.mp3"));
  EXPECT_EQ(P("-a BATCHCONVERT -s /tmp/list.ini").mode, LaunchMode::ListFile);
  EXPECT_EQ(P("-a BATCHCONVERT_REMOVE -s /tmp/list.ini").mode, LaunchMode::ListFileThenDelete);
}

TEST(LaunchRequest, IncompleteOrMisorderedCommandLinesAreIgnored) {
  for (const char* text :
       {"", "-a CONVERT", "-s /a.mp3", "-s /a.mp3 -a CONVERT", "/a.mp3", "-aCONVERT -s x", "-a CONVERT -s"}) {
    const LaunchRequest request = P(text);
    EXPECT_EQ(request.mode, LaunchMode::None) << text;
    EXPECT_TRUE(request.source.isEmpty()) << text;
  }
}

TEST(LaunchRequest, TextBeforeTheActionIsIgnored) {
  const LaunchRequest request = P("-o /out folder -a CONVERT -s /in/a.mp3");
  EXPECT_EQ(request.mode, LaunchMode::SingleFile);
  EXPECT_EQ(request.source, QStringLiteral("/in/a.mp3"));
}

TEST(LaunchRequest, UnknownActionKeepsTheSource) {
  const LaunchRequest lower = P("-a convert -s /in/a.mp3");
  EXPECT_EQ(lower.mode, LaunchMode::None);
  EXPECT_EQ(lower.source, QStringLiteral("/in/a.mp3"));
  EXPECT_EQ(P("-a CONVERTX -s /x").mode, LaunchMode::None);
  EXPECT_EQ(P("-a  -s /x").source, QStringLiteral("/x"));
}

TEST(LaunchRequest, TrimsActionAndSourceButKeepsInnerBlanksAndQuotes) {
  const LaunchRequest request = P("-a    CONVERT   -s   \"/my music/a b.mp3\"   ");
  EXPECT_EQ(request.mode, LaunchMode::SingleFile);
  EXPECT_EQ(request.source, QStringLiteral("\"/my music/a b.mp3\""));
}

TEST(LaunchRequest, ArgumentsAreJoinedWithBlanks) {
  const QString line = LaunchRequest::JoinArguments(
      {QStringLiteral("-a"), QStringLiteral("CONVERT"), QStringLiteral("-s"), QStringLiteral("/my music/a.mp3")});
  const LaunchRequest request = LaunchRequest::Parse(line);
  EXPECT_EQ(request.mode, LaunchMode::SingleFile);
  EXPECT_EQ(request.source, QStringLiteral("/my music/a.mp3"));
}

}  // namespace
}  // namespace corvane
