// TagFileSimple: an APEv2 tag read back by ffprobe and TagLib, old tags cleared or kept,
// no ID3 tag, and the audio untouched.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <taglib/apefile.h>
#include <taglib/apetag.h>
#include <taglib/id3v1tag.h>

#include "ApeTestSupport.h"
#include "support/SourceFixtures.h"

namespace corvane::ape::test {
namespace {

class ApeTag : public ::testing::Test {
 protected:
  void SetUp() override {
    pcm_ = Convert(Sweep(5000), 2, 16);
    path_ = dir_.filePath("tagged.ape");
    utf8_ = path_.toStdString();
    ASSERT_EQ(EncodeFile(path_, pcm_, 2000), ApeResult::kOk);
  }

  // Format tags as ffprobe reports them, keys in lower case.
  QJsonObject ProbeTags() const {
    const QByteArray json =
        corvane::test::ToolOutput("ffprobe", {"-v", "error", "-show_entries", "format_tags", "-of", "json", path_});
    const QJsonObject tags = QJsonDocument::fromJson(json).object()["format"].toObject()["tags"].toObject();
    QJsonObject lower;
    for (auto it = tags.begin(); it != tags.end(); ++it) lower[it.key().toLower()] = it.value();
    return lower;
  }

  bool HasId3v1() const {
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly) || file.size() < 128) return false;
    file.seek(file.size() - 128);
    return file.read(3) == "TAG";
  }

  QTemporaryDir dir_;
  Pcm pcm_;
  QString path_;
  std::string utf8_;
};

TEST_F(ApeTag, WritesAllTextsAsApeItems) {
  ASSERT_EQ(TagFileSimple(utf8_.c_str(), "Zoë Keating", "Into the Trees", "Frozen Ｌake", "first take", "Classical",
                          "2010", "3/12", true),
            ApeResult::kOk);
  const QJsonObject tags = ProbeTags();
  EXPECT_EQ(tags["artist"].toString(), QString::fromUtf8("Zoë Keating"));
  EXPECT_EQ(tags["album"].toString(), "Into the Trees");
  EXPECT_EQ(tags["title"].toString(), QString::fromUtf8("Frozen Ｌake"));
  EXPECT_EQ(tags["comment"].toString(), "first take");
  EXPECT_EQ(tags["genre"].toString(), "Classical");
  EXPECT_EQ(tags["year"].toString(), "2010");
  EXPECT_EQ(tags["track"].toString(), "3/12");
  EXPECT_FALSE(HasId3v1());
  EXPECT_EQ(DecodeWithFfmpeg(path_, 16), pcm_.bytes);

  // Tagging again replaces the tag instead of adding a second one.
  const qint64 size = QFileInfo(path_).size();
  ASSERT_EQ(TagFileSimple(utf8_.c_str(), "Zoë Keating", "Into the Trees", "Frozen Ｌake", "first take", "Classical",
                          "2010", "3/12", true),
            ApeResult::kOk);
  EXPECT_EQ(QFileInfo(path_).size(), size);
}

TEST_F(ApeTag, ClearFirstDecidesWhetherOtherItemsSurvive) {
  auto seed = [&] {
    {
      TagLib::APE::File file(utf8_.c_str());
      file.APETag(true)->addValue("Composer", "Someone");
      file.APETag(true)->setTitle("Old title");
      file.ID3v1Tag(true)->setTitle("Old title");
      ASSERT_TRUE(file.save());
    }
    ASSERT_TRUE(HasId3v1());
  };

  seed();
  ASSERT_EQ(TagFileSimple(utf8_.c_str(), "Artist", nullptr, "New title", "", nullptr, nullptr, nullptr, false),
            ApeResult::kOk);
  QJsonObject tags = ProbeTags();
  EXPECT_EQ(tags["composer"].toString(), "Someone");
  EXPECT_EQ(tags["title"].toString(), "New title");
  EXPECT_EQ(tags["artist"].toString(), "Artist");
  EXPECT_FALSE(tags.contains("comment"));
  EXPECT_FALSE(HasId3v1());

  seed();
  ASSERT_EQ(TagFileSimple(utf8_.c_str(), "Artist", nullptr, nullptr, nullptr, nullptr, "1999", nullptr, true),
            ApeResult::kOk);
  tags = ProbeTags();
  EXPECT_FALSE(tags.contains("composer"));
  EXPECT_FALSE(tags.contains("title"));
  EXPECT_EQ(tags["year"].toString(), "1999");
  EXPECT_FALSE(HasId3v1());
  EXPECT_EQ(DecodeWithFfmpeg(path_, 16), pcm_.bytes);
}

TEST_F(ApeTag, RefusesFilesThatAreNotMonkeysAudio) {
  const QString other = dir_.filePath("not.ape");
  const QByteArray junk(4000, 'j');
  ASSERT_TRUE(corvane::test::WriteAll(other, junk));
  const std::string otherUtf8 = other.toStdString();
  EXPECT_EQ(TagFileSimple(otherUtf8.c_str(), "a", "b", "c", "d", "e", "f", "g", true), ApeResult::kTagReadFailed);
  EXPECT_EQ(corvane::test::ReadAll(other), junk);

  const std::string missing = dir_.filePath("missing.ape").toStdString();
  EXPECT_EQ(TagFileSimple(missing.c_str(), "a", "b", "c", "d", "e", "f", "g", true), ApeResult::kTagReadFailed);
  EXPECT_EQ(TagFileSimple(nullptr, "a", "b", "c", "d", "e", "f", "g", true), ApeResult::kInvalidArgument);
}

}  // namespace
}  // namespace corvane::ape::test
