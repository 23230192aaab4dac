// The conversion list's rows, selection, removal and selection update, with real WAV sources
// probed by the engine.
#include "converter/ConversionList.h"

#include <QRegularExpression>

#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "converter/ListFixture.h"

namespace corvane {
namespace {

using test::ListFixture;

class ConversionListTest : public ListFixture {
 protected:
  ConversionList list_{engine_, ui_, store_};
};

// A probe that answers with fixed figures, for the size and length texts.
ProbeFunction FixedProbe(qint64 lengthMs, qint64 size) {
  return [=](const QString&) { return AudioFileDescription{true, lengthMs, size, QStringLiteral("fixed")}; };
}

TEST_F(ConversionListTest, FileRowShowsTheProbeAndRemembersItsFolder) {
  const QString path = Wav(QStringLiteral("in/song.wav"));
  ASSERT_EQ(list_.AddPath(path), 0);
  const ConversionRow& row = list_.Row(0);
  EXPECT_EQ(row.Text(ListColumn::Number), QStringLiteral("01"));
  EXPECT_EQ(row.Text(ListColumn::Name), QStringLiteral("song.wav"));
  EXPECT_EQ(row.Text(ListColumn::Length), QStringLiteral("0:00:01"));
  EXPECT_EQ(row.Text(ListColumn::Size), QStringLiteral("172 KB"));  // the 176444-byte file
  EXPECT_EQ(row.Text(ListColumn::Status), QStringLiteral("Loaded"));
  EXPECT_EQ(row.Text(ListColumn::AudioInfo), QStringLiteral("WAV, 44100Hz, 16 bit, Stereo"));
  EXPECT_EQ(row.Text(ListColumn::SubFolders), QStringLiteral("n/a"));
  EXPECT_EQ(row.Text(ListColumn::FilePath), Path(QStringLiteral("in/")));
  EXPECT_FALSE(row.IsFolder());
  EXPECT_EQ(row.SourcePath(), path);
  EXPECT_TRUE(list_.IsSelected(0));
  EXPECT_EQ(store_.ReadText(keys::section::kConvert, keys::kLastSourceFolder), Path(QStringLiteral("in/")));
}

TEST_F(ConversionListTest, SameFileByAnotherSpellingIsOneRowButLetterCaseMakesAnotherFile) {
  const QString path = Wav(QStringLiteral("in/a.wav"));
  Wav(QStringLiteral("in/A.wav"));
  ASSERT_EQ(list_.AddPath(path), 0);
  EXPECT_EQ(list_.AddPath(Path(QStringLiteral("in/./sub/../a.wav"))), 0);
  EXPECT_EQ(list_.AddPath(Path(QStringLiteral("in//a.wav"))), 0);
  QDir::setCurrent(Path(QStringLiteral("in")));
  EXPECT_EQ(list_.AddPath(QStringLiteral("a.wav")), 0);
  EXPECT_EQ(list_.AddPath(Path(QStringLiteral("in/A.wav"))), 1);
  EXPECT_EQ(list_.Count(), 2);
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(ConversionListTest, FileTheEngineCannotLoadIsNotAdded) {
  const QString text = Path(QStringLiteral("notes.mp3"));
  ASSERT_TRUE(test::WriteAll(text, "this is not audio at all\n"));
  EXPECT_EQ(list_.AddPath(text), -1);
  EXPECT_EQ(list_.AddPath(Path(QStringLiteral("missing.wav"))), -1);
  EXPECT_EQ(list_.AddPath(QString()), -1);
  EXPECT_EQ(list_.Count(), 0);
  EXPECT_EQ(ui_.messages.size(), 2u);  // the probe's own load errors
}

TEST_F(ConversionListTest, FolderRowsCarryTheStoredChoiceAndReadItBack) {
  const QString folder = Folder(QStringLiteral("Album.2004"));
  ASSERT_EQ(list_.AddPath(folder + QStringLiteral("/")), 0);
  store_.WriteNumber(keys::section::kConvert, keys::kLoadFolderAudioType, 5);
  store_.WriteNumber(keys::section::kConvert, keys::kSubFolders, 0);
  ASSERT_EQ(list_.AddPath(folder), 1);
  store_.WriteNumber(keys::section::kConvert, keys::kLoadFolderAudioType, 28);
  ASSERT_EQ(list_.AddPath(folder), 2);

  EXPECT_EQ(Names(list_),
            QStringList({QStringLiteral("Album.2004"), QStringLiteral("Album.2004"), QStringLiteral("Album.2004")}));
  EXPECT_EQ(Column(list_, ListColumn::AudioInfo),
            QStringList({QStringLiteral("Convert <All supported audio files>"), QStringLiteral("Convert <wav files>"),
                         QStringLiteral("Convert <>")}));
  const QList<int> types{list_.Row(0).InputTypeRow(), list_.Row(1).InputTypeRow(), list_.Row(2).InputTypeRow()};
  EXPECT_EQ(types, QList<int>({0, 5, 0}));
  EXPECT_TRUE(list_.Row(0).IncludesSubFolders());
  EXPECT_FALSE(list_.Row(1).IncludesSubFolders());
  for (int row = 0; row < 3; ++row) {
    EXPECT_TRUE(list_.Row(row).IsFolder());
    EXPECT_EQ(list_.Text(row, ListColumn::Length), QStringLiteral("n/a"));
    EXPECT_EQ(list_.Text(row, ListColumn::Size), QString());
    EXPECT_EQ(list_.Text(row, ListColumn::Status), QStringLiteral("Folder"));
    EXPECT_EQ(list_.Row(row).SourcePath(), folder);
  }
  list_.SetFolderFileCount(1, 7);
  EXPECT_EQ(list_.Text(1, ListColumn::Size), QStringLiteral("7 files"));
}

TEST_F(ConversionListTest, RootFolderIsNamedByItsPath) {
  ASSERT_EQ(list_.AddPath(QStringLiteral("/")), 0);
  EXPECT_EQ(list_.Text(0, ListColumn::Name), QStringLiteral("/"));
  EXPECT_EQ(list_.Text(0, ListColumn::FilePath), QStringLiteral("/"));
}

TEST(ConversionRowTest, TypeIsReadBackFromTheAudioInfoText) {
  ConversionRow row = ConversionRow::ForFolder(QStringLiteral("x"), QStringLiteral("/x"), 0, true);
  const auto typeOf = [&row](const char* info) {
    row.SetText(ListColumn::AudioInfo, QString::fromLatin1(info));
    return row.InputTypeRow();
  };
  EXPECT_EQ(typeOf("Convert <  mp3 files >"), 1);
  EXPECT_EQ(typeOf("Convert <CD Audio>"), 23);
  EXPECT_EQ(typeOf("Convert <MP3 files>"), 0);  // names compare with letter case
  EXPECT_EQ(typeOf("Convert <flac files"), 0);
  EXPECT_EQ(typeOf("Convert > wav files <"), 0);
  EXPECT_EQ(typeOf("<<aix files>>"), 0);
  row.SetText(ListColumn::Length, QStringLiteral("0:00:00"));
  EXPECT_FALSE(row.IsFolder());
}

TEST(ConversionRowTest, SizeAndLengthTexts) {
  EXPECT_EQ(FormatSize(1048575), QStringLiteral("1024 KB"));
  EXPECT_EQ(FormatSize(1048576), QStringLiteral("1.0 MB"));
  EXPECT_EQ(FormatSize(0), QStringLiteral("n/a"));
  EXPECT_EQ(FormatSize(511), QStringLiteral("0 KB"));
  EXPECT_EQ(FormatSize(5 * 1048576 + 104858), QStringLiteral("5.1 MB"));
  EXPECT_EQ(FormatLength((3600 + 2 * 60 + 5) * 1000 + 999), QStringLiteral("1:02:05"));
  EXPECT_EQ(FormatLength(0), QStringLiteral("0:00:00"));
  EXPECT_EQ(FormatLength(25LL * 3600 * 1000), QStringLiteral("25:00:00"));
}

TEST_F(ListFixture, LengthsComeFromTheProbeAndSizesFromTheFile) {
  const QString path = Touch(QStringLiteral("long.ogg"));
  ASSERT_TRUE(test::WriteAll(path, QByteArray(10712, 'x')));
  // The probe counts 7000 bytes of audio after the headers; the column shows the whole file.
  ConversionList big(ui_, store_, FixedProbe(3725000, 7000));
  ConversionList empty(ui_, store_, FixedProbe(0, 0));
  ASSERT_EQ(big.AddPath(path), 0);
  ASSERT_EQ(empty.AddPath(path), 0);
  EXPECT_EQ(big.Text(0, ListColumn::Length), QStringLiteral("1:02:05"));
  EXPECT_EQ(big.Text(0, ListColumn::Size), QStringLiteral("10 KB"));
  EXPECT_EQ(empty.Text(0, ListColumn::Size), QStringLiteral("n/a"));
  EXPECT_FALSE(empty.Row(0).IsFolder());
}

class RemovalTest : public ListFixture {
 protected:
  void SetUp() override {
    ListFixture::SetUp();
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3", "d.mp3", "e.mp3"}) {
      ASSERT_GE(list_.AddPath(Touch(QString::fromLatin1(name))), 0);
    }
    list_.ClearSelection();
  }
  QString loaded_;
  int stops_ = 0;
  ConversionList list_{ui_, store_, FixedProbe(1000, 2048)};
};

TEST_F(RemovalTest, RemovingTwoOfFiveRenumbersAndSelectsTheRowBefore) {
  list_.SetSelected(1, true);
  list_.SetSelected(3, true);
  list_.RemoveSelected();
  EXPECT_EQ(Names(list_), QStringList({QStringLiteral("a.mp3"), QStringLiteral("c.mp3"), QStringLiteral("e.mp3")}));
  EXPECT_EQ(Column(list_, ListColumn::Number),
            QStringList({QStringLiteral("01"), QStringLiteral("02"), QStringLiteral("03")}));
  EXPECT_EQ(list_.SelectedRows(), QList<int>({0}));
  EXPECT_EQ(list_.FocusedRow(), 0);
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(RemovalTest, NothingSelectedIsToldAndEmptyListIsIgnored) {
  list_.RemoveSelected();
  EXPECT_EQ(list_.Count(), 5);
  ASSERT_EQ(ui_.MessageTexts(), QStringList({QStringLiteral("Please select the item from the list first!")}));
  list_.SetSelected(0, true);
  list_.SetSelected(4, true);
  list_.SetRunning(true);
  list_.RemoveSelected();
  EXPECT_EQ(list_.Count(), 5);  // never while a run walks the rows
  list_.SetRunning(false);
  list_.SetSelected(1, true);
  list_.SetSelected(2, true);
  list_.SetSelected(3, true);
  list_.RemoveSelected();
  EXPECT_EQ(list_.Count(), 0);
  EXPECT_EQ(list_.FocusedRow(), -1);
  list_.RemoveSelected();
  EXPECT_FALSE(list_.RemoveAll());
  EXPECT_EQ(ui_.messages.size(), 1u);
}

TEST_F(RemovalTest, RemovingTheFileLoadedForPlaybackStopsIt) {
  list_.SetPlaybackHooks({[this] { return loaded_; }, [this] { ++stops_; }});
  loaded_ = Path(QStringLiteral("./c.mp3"));
  list_.SetSelected(0, true);
  list_.RemoveSelected();
  EXPECT_EQ(stops_, 0);
  list_.ClearSelection();
  list_.SetSelected(1, true);  // c.mp3 now
  list_.SetSelected(2, true);
  list_.RemoveSelected();
  EXPECT_EQ(stops_, 1);
  EXPECT_EQ(Names(list_), QStringList({QStringLiteral("b.mp3"), QStringLiteral("e.mp3")}));
}

TEST_F(RemovalTest, RemoveAllAsksFirst) {
  list_.SetPlaybackHooks({[this] { return loaded_; }, [this] { ++stops_; }});
  ui_.answers = {MessageAnswer::No, MessageAnswer::Yes};
  EXPECT_FALSE(list_.RemoveAll());
  EXPECT_EQ(list_.Count(), 5);
  EXPECT_EQ(stops_, 0);
  EXPECT_TRUE(list_.RemoveAll());
  EXPECT_EQ(list_.Count(), 0);
  EXPECT_EQ(stops_, 1);
  ASSERT_EQ(ui_.messages.size(), 2u);
  EXPECT_EQ(ui_.messages[0].text, QStringLiteral("Are you sure to remove all items?"));
  EXPECT_EQ(ui_.messages[0].buttons, MessageButtons::YesNo);
  EXPECT_EQ(ui_.messages[0].icon, MessageIcon::Question);
}

TEST_F(ConversionListTest, SelectionUpdateDescribesTheFocusedRowAndItsOutput) {
  Wav(QStringLiteral("in/a.wav"));
  ASSERT_EQ(list_.AddPath(Path(QStringLiteral("in/a.wav"))), 0);
  ASSERT_EQ(list_.AddPath(Wav(QStringLiteral("in/b.mp3.wav"))), 1);
  ASSERT_EQ(list_.AddPath(Folder(QStringLiteral("in/Live.1999"))), 2);
  const OutputTarget elsewhere{QStringLiteral(".mp3"), false, Path(QStringLiteral("out"))};
  const OutputTarget beside{QStringLiteral(".wav"), true, Path(QStringLiteral("out"))};

  list_.ClearSelection();
  std::optional<SelectionInfo> info = list_.UpdateSelection(elsewhere);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->row, -1);
  EXPECT_EQ(info->info_line, QString());
  EXPECT_EQ(ui_.status_texts.back(), std::make_pair(1, QStringLiteral("Output - ")));

  list_.SetSelected(0, true);
  list_.SetSelected(1, true);
  list_.SetFocusedRow(1);
  info = list_.UpdateSelection(elsewhere);
  EXPECT_EQ(info->info_line, QStringLiteral("# 02/03 [b.mp3.wav]: WAV, 44100Hz, 16 bit, Stereo"));
  EXPECT_EQ(info->output_status, QStringLiteral("Output - ") + Path(QStringLiteral("out/b.mp3.MP3")));
  EXPECT_EQ(list_.UpdateSelection(beside)->output_status,
            QStringLiteral("Output - ") + Path(QStringLiteral("in/b.mp3-New.WAV")));
  list_.SetFocusedRow(2);  // focused but not selected: the first selected row counts
  info = list_.UpdateSelection(beside);
  EXPECT_EQ(info->info_line, QStringLiteral("# 01/03 [a.wav]: WAV, 44100Hz, 16 bit, Stereo"));
  EXPECT_EQ(info->output_status, QStringLiteral("Output - ") + Path(QStringLiteral("in/a-New.WAV")));

  list_.ClearSelection();
  list_.SelectAndFocus(2);
  info = list_.UpdateSelection(elsewhere);
  EXPECT_EQ(info->info_line,
            QStringLiteral("# 03/03: Convert <All supported audio files> in folder \"Live.1999\" (Sub-folder = Yes)"));
  EXPECT_EQ(info->output_status, QStringLiteral("Output - ") + Path(QStringLiteral("out/Live.1999/")));
  EXPECT_EQ(list_.UpdateSelection(beside)->output_status,
            QStringLiteral("Output - ") + Path(QStringLiteral("in/Live.1999/")));
  EXPECT_EQ(ui_.status_texts.back().second, QStringLiteral("Output - ") + Path(QStringLiteral("in/Live.1999/")));

  list_.SetRunning(true);
  const size_t reports = ui_.status_texts.size();
  EXPECT_FALSE(list_.UpdateSelection(elsewhere));
  EXPECT_EQ(ui_.status_texts.size(), reports);
}

}  // namespace
}  // namespace corvane
