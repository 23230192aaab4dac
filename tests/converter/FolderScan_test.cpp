// The folder scan: which files it takes, in which order, with and without sub-folders, the
// progress it shows, cancelling, and the output folder it leaves alone.
#include "converter/FolderScan.h"

#include <optional>

#include "common/UserInterface.h"
#include "converter/ListFixture.h"

namespace corvane {
namespace {

class FolderScanTest : public test::ListFixture {
 protected:
  void SetUp() override {
    ListFixture::SetUp();
    for (const char* name : {"a.mp3", "B.MP3", "c.txt", "d.Flac", "noext", "sub/e.wav", "sub/f.mp3", "sub/deep/g.ogg",
                             "x.mp3/h.mp3", "out/Album/i.MP3"}) {
      Touch(QStringLiteral("music/") + QString::fromLatin1(name));
    }
  }
  // The found paths relative to the music folder.
  QStringList Scan(int type, bool subFolders, const QString& skip = {}, IProgressWindow* progress = nullptr) {
    QStringList found;
    count_ = ScanFolder(Path(QStringLiteral("music")), type, subFolders, progress, found, skip).value;
    QStringList relative;
    for (const QString& path : found) relative << QDir(Path(QStringLiteral("music"))).relativeFilePath(path);
    return relative;
  }
  static QStringList List(std::initializer_list<const char*> names) {
    QStringList list;
    for (const char* name : names) list << QString::fromLatin1(name);
    return list;
  }
  std::optional<int> count_;  // none: cancelled
};

TEST_F(FolderScanTest, AllTypesTakeEveryKnownExtensionInNameOrder) {
  EXPECT_EQ(Scan(0, false), List({"a.mp3", "B.MP3", "d.Flac"}));
  EXPECT_EQ(count_, 3);
  EXPECT_EQ(Scan(0, true), List({"a.mp3", "B.MP3", "d.Flac", "out/Album/i.MP3", "sub/deep/g.ogg", "sub/e.wav",
                                 "sub/f.mp3", "x.mp3/h.mp3"}));
  EXPECT_EQ(count_, 8);
}

TEST_F(FolderScanTest, OneTypeTakesItsOwnFilesBeforeTheSubFolders) {
  EXPECT_EQ(Scan(1, false), List({"a.mp3", "B.MP3"}));  // the folder "x.mp3" is no file
  EXPECT_EQ(Scan(1, true), List({"a.mp3", "B.MP3", "out/Album/i.MP3", "sub/f.mp3", "x.mp3/h.mp3"}));
  EXPECT_EQ(count_, 5);
  EXPECT_EQ(Scan(11, true), List({"d.Flac"}));
  EXPECT_EQ(Scan(21, true), QStringList());
  EXPECT_EQ(count_, 0);
}

TEST_F(FolderScanTest, TheOutputFolderIsNotEnteredWhateverItsSpelling) {
  const QStringList expected =
      List({"a.mp3", "B.MP3", "d.Flac", "sub/deep/g.ogg", "sub/e.wav", "sub/f.mp3", "x.mp3/h.mp3"});
  EXPECT_EQ(Scan(0, true, Path(QStringLiteral("music/out"))), expected);
  EXPECT_EQ(Scan(0, true, Path(QStringLiteral("music/sub/../out/"))), expected);
  ASSERT_TRUE(QFile::link(Path(QStringLiteral("music/out")), Path(QStringLiteral("out-link"))));
  EXPECT_EQ(Scan(0, true, Path(QStringLiteral("out-link"))), expected);
  EXPECT_EQ(Scan(1, true, Path(QStringLiteral("music/out"))), List({"a.mp3", "B.MP3", "sub/f.mp3", "x.mp3/h.mp3"}));
  // Scanning the output folder itself finds nothing to convert.
  EXPECT_EQ(Scan(0, true, Path(QStringLiteral("music"))), QStringList());
  EXPECT_EQ(count_, 0);
}

TEST_F(FolderScanTest, LinkedFoldersAreSearchedOnce) {
  ASSERT_TRUE(QFile::link(Path(QStringLiteral("music")), Path(QStringLiteral("music/sub/loop"))));
  EXPECT_EQ(Scan(1, true), List({"a.mp3", "B.MP3", "out/Album/i.MP3", "sub/f.mp3", "x.mp3/h.mp3"}));
}

TEST_F(FolderScanTest, ProgressShowsEachFileAndCancelStopsAtOnce) {
  ui_.cancel_progress_after = 1000;
  auto window = ui_.OpenProgressWindow(QString());
  EXPECT_EQ(Scan(1, true, {}, window.get()).size(), 5);
  ASSERT_EQ(ui_.progress_texts.size(), 5);
  EXPECT_EQ(ui_.progress_texts[3], QStringLiteral("Scanning - ") + Path(QStringLiteral("music/sub/f.mp3")));

  ui_.cancel_progress_after = 6;  // two updates per file: cancelled after the third
  window = ui_.OpenProgressWindow(QString());
  EXPECT_EQ(Scan(0, true, {}, window.get()).size(), 3);
  EXPECT_EQ(count_, std::nullopt);
  ui_.cancel_progress_after = 10;
  window = ui_.OpenProgressWindow(QString());
  EXPECT_EQ(Scan(0, true, {}, window.get()).back(), QStringLiteral("sub/deep/g.ogg"));  // cancelled two levels down
  EXPECT_EQ(count_, std::nullopt);
}

TEST_F(FolderScanTest, KnownExtensions) {
  EXPECT_TRUE(HasKnownAudioExtension(QStringLiteral("/x/a.Mp+")));
  EXPECT_TRUE(HasKnownAudioExtension(QStringLiteral("a.tar.AIFF")));
  EXPECT_FALSE(HasKnownAudioExtension(QStringLiteral("a.mp3.txt")));
  EXPECT_FALSE(HasKnownAudioExtension(QStringLiteral("mp3")));
  EXPECT_FALSE(HasKnownAudioExtension(QStringLiteral("a.fla")));  // only the add-files filter names it
}

}  // namespace
}  // namespace corvane
