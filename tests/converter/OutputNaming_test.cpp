#include <gtest/gtest.h>

#include "converter/OutputNaming.h"
#include "support/QtPrinters.h"

namespace corvane {
namespace {

QString S(const char* text) { return QString::fromUtf8(text); }

TEST(OutputPathFor, UsesTheTitleAndTheUpperCaseExtension) {
  EXPECT_EQ(OutputPathFor(S("/music"), S("/music/song.mp3"), S(".wav")), S("/music/song.WAV"));
  EXPECT_EQ(OutputPathFor(S("/out"), S("/music/a.b.c.flac"), S(".mp3")), S("/out/a.b.c.MP3"));
  EXPECT_EQ(OutputPathFor(S("/out/"), S("/music/noext"), S(".ogg")), S("/out/noext.OGG"));
  EXPECT_EQ(OutputPathFor(S("/"), S("/music/x.wma"), S(".ape")), S("/x.APE"));
}

TEST(OutputPathFor, NeverNamesTheSourceItself) {
  EXPECT_EQ(OutputPathFor(S("/music"), S("/music/song.mp3"), S(".mp3")), S("/music/song-New.MP3"));
  EXPECT_EQ(OutputPathFor(S("/music"), S("/music/Song.MP3"), S(".mp3")), S("/music/Song-New.MP3"));
  EXPECT_EQ(OutputPathFor(S("/other"), S("/music/song.mp3"), S(".mp3")), S("/other/song.MP3"));
}

// A source's name fits the file system, but a longer extension or "-New" may not: the title is cut.
TEST(OutputPathFor, CutsTheTitleSoTheNameFits) {
  const QString title(251, u'a');
  EXPECT_EQ(OutputPathFor(S("/out"), S("/music/") + title + S(".wv"), S(".flac")),
            S("/out/") + title.left(250) + S(".FLAC"));
  EXPECT_EQ(OutputPathFor(S("/music"), S("/music/") + title + S(".mp3"), S(".mp3")),
            S("/music/") + title.left(247) + S("-New.MP3"));
}

TEST(MirrorFolder, KeepsTheRowFoldersNameAndItsSubFolders) {
  EXPECT_EQ(MirrorFolder(S("/out"), S("/music/Album/CD1"), S("/music/Album")), S("/out/Album/CD1/"));
  EXPECT_EQ(MirrorFolder(S("/out"), S("/music/Album"), S("/music/Album/")), S("/out/Album/"));
  EXPECT_EQ(MirrorFolder(S("/out/"), S("/music/Album/a/b"), S("/music/Album")), S("/out/Album/a/b/"));
  // A row on the root mirrors from the first folder below it.
  EXPECT_EQ(MirrorFolder(S("/out"), S("/music/Album"), S("/")), S("/out/music/Album/"));
  EXPECT_EQ(MirrorFolder(S("/out"), S("/"), S("/")), S("/out/"));
}

TEST(PathParts, FolderAndName) {
  EXPECT_EQ(FolderOf(S("/a/b/c.mp3")), S("/a/b"));
  EXPECT_EQ(FolderOf(S("/c.mp3")), S("/"));
  EXPECT_EQ(FolderOf(S("c.mp3")), QString());
  EXPECT_EQ(FileNameOf(S("/a/b/c.mp3")), S("c.mp3"));
  EXPECT_EQ(FileNameOf(S("c.mp3")), S("c.mp3"));
}

}  // namespace
}  // namespace corvane
