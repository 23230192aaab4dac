// The routes that add rows: chosen files, dropped paths, "Convert Entire Folder(s)" and the
// hand-off at start, with their progress texts and the cancel question.
#include "converter/ConversionListLoader.h"

#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "converter/ListFixture.h"
#include "converter/LoadFolderChoice.h"
#include "converter/SourceFileFilters.h"

namespace corvane {
namespace {

class LoaderTest : public test::ListFixture {
 protected:
  QStringList ThreeFiles() {
    return {Wav(QStringLiteral("in/a.wav")), Touch(QStringLiteral("in/broken.mp3")), Wav(QStringLiteral("in/c.wav"))};
  }
  QString HandOffList(const QString& text) {
    const QString path = Path(QStringLiteral("handoff.ini"));
    EXPECT_TRUE(test::WriteAll(path, text.toUtf8()));
    return path;
  }

  ConversionList list_{engine_, ui_, store_};
  ConversionListLoader loader_{list_};
};

TEST_F(LoaderTest, AddFilesShowsEachFileAndFocusesTheLastRow) {
  ASSERT_EQ(list_.AddPath(Wav(QStringLiteral("old.wav"))), 0);
  const LoadResult result = loader_.AddFiles(ThreeFiles());
  EXPECT_EQ(result.added, 2);
  EXPECT_FALSE(result.cancelled);
  EXPECT_EQ(Names(list_), QStringList({QStringLiteral("old.wav"), QStringLiteral("a.wav"), QStringLiteral("c.wav")}));
  EXPECT_EQ(ui_.progress_texts,
            QStringList({QStringLiteral("Loading # 01/03 - a.wav"), QStringLiteral("Loading # 02/03 - broken.mp3"),
                         QStringLiteral("Loading # 03/03 - c.wav")}));
  EXPECT_EQ(list_.SelectedRows(), QList<int>({1, 2}));  // the earlier selection was cleared
  EXPECT_EQ(list_.FocusedRow(), 2);
  EXPECT_EQ(ui_.messages.size(), 1u);  // the probe's message about broken.mp3
  EXPECT_EQ(ui_.pumps_while_waiting, 3) << "the wait cursor shows while files are added";
  EXPECT_EQ(ui_.wait_depth, 0);

  // A last file that fails leaves the focus on the last row; a known file is not added twice.
  const LoadResult again = loader_.AddFiles({Path(QStringLiteral("in/a.wav")), Path(QStringLiteral("in/broken.mp3"))});
  EXPECT_EQ(again.added, 0);
  EXPECT_EQ(list_.Count(), 3);
  EXPECT_EQ(list_.FocusedRow(), 2);
  EXPECT_EQ(list_.SelectedRows(), QList<int>({2}));
}

TEST_F(LoaderTest, CancelAsksOnceAndKeepsWhatWasAdded) {
  const QStringList files = ThreeFiles();
  ui_.cancel_progress_after = 2;  // pressed while the first file loads
  ui_.answers = {MessageAnswer::Ok};
  LoadResult result = loader_.AddFiles(files);
  EXPECT_TRUE(result.cancelled);
  EXPECT_EQ(Names(list_), QStringList({QStringLiteral("a.wav")}));
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].text, QStringLiteral("Are you sure to cancel the loading?"));
  EXPECT_EQ(ui_.messages[0].buttons, MessageButtons::OkCancel);
  EXPECT_EQ(ui_.wait_depth, 0);

  ui_.messages.clear();
  ui_.answers = {MessageAnswer::Cancel};
  result = loader_.Drop(files);
  EXPECT_FALSE(result.cancelled);
  EXPECT_EQ(Names(list_), QStringList({QStringLiteral("a.wav"), QStringLiteral("c.wav")}));
  EXPECT_EQ(ui_.MessageTexts().count(QStringLiteral("Are you sure to cancel the loading?")), 1);
}

TEST_F(LoaderTest, DropMakesFolderRowsWithoutScanning) {
  Wav(QStringLiteral("Album/x.wav"));
  store_.WriteNumber(keys::section::kConvert, keys::kLoadFolderAudioType, 99);
  const LoadResult result = loader_.Drop({Path(QStringLiteral("Album/")), Wav(QStringLiteral("in/a.wav"))});
  EXPECT_EQ(result.added, 2);
  EXPECT_EQ(ui_.progress_texts,
            QStringList({QStringLiteral("Loading # 01/02 - Album"), QStringLiteral("Loading # 02/02 - a.wav")}));
  EXPECT_TRUE(list_.Row(0).IsFolder());
  EXPECT_EQ(list_.Text(0, ListColumn::Size), QString());
  EXPECT_EQ(list_.Text(0, ListColumn::AudioInfo), QStringLiteral("Convert <>"));
  EXPECT_EQ(list_.Row(0).InputTypeRow(), 0);

  ui_.progress_texts.clear();
  EXPECT_EQ(loader_.Drop({}).added, 0);
  EXPECT_TRUE(ui_.progress_texts.isEmpty());
  list_.SetRunning(true);
  EXPECT_EQ(loader_.Drop({Wav(QStringLiteral("late.wav"))}).added, 0);
  EXPECT_EQ(list_.Count(), 2);
}

TEST_F(LoaderTest, AddFolderCountsItsFilesButLeavesTheOutputFolderOut) {
  Wav(QStringLiteral("Album/a.wav"));
  Wav(QStringLiteral("Album/CD2/b.wav"));
  Wav(QStringLiteral("Album/Out/a.MP3"));
  LoadFolderChoice choice{Path(QStringLiteral("Album")), 0, true, false};
  loader_.AddFolder(choice, Path(QStringLiteral("Album/Out")));
  choice.type_row = 5;
  choice.sub_folders = false;
  loader_.AddFolder(choice);
  ASSERT_EQ(list_.Count(), 2);
  EXPECT_EQ(Column(list_, ListColumn::Size), QStringList({QStringLiteral("2 files"), QStringLiteral("1 files")}));
  EXPECT_EQ(Column(list_, ListColumn::AudioInfo), QStringList({QStringLiteral("Convert <All supported audio files>"),
                                                               QStringLiteral("Convert <wav files>")}));
  EXPECT_EQ(Column(list_, ListColumn::SubFolders), QStringList({QStringLiteral("Yes"), QStringLiteral("No")}));
  EXPECT_EQ(list_.SelectedRows(), QList<int>({1}));
  EXPECT_EQ(list_.FocusedRow(), 1);
}

TEST_F(LoaderTest, AddFolderAsFilesAddsWhatTheScanFinds) {
  Wav(QStringLiteral("Album/a.wav"));
  Wav(QStringLiteral("Album/CD2/b.wav"));
  Touch(QStringLiteral("Album/cover.jpg"));
  LoadFolderChoice choice{Path(QStringLiteral("Album")), 0, true, true};
  ui_.cancel_progress_after = 1;  // the scan itself is cancelled: nothing is added
  LoadResult result = loader_.AddFolder(choice);
  EXPECT_TRUE(result.cancelled);
  EXPECT_EQ(list_.Count(), 0);

  ui_.cancel_progress_after = -1;
  ui_.progress_texts.clear();
  result = loader_.AddFolder(choice);
  EXPECT_EQ(result.added, 2);
  EXPECT_EQ(Names(list_), QStringList({QStringLiteral("a.wav"), QStringLiteral("b.wav")}));
  EXPECT_EQ(ui_.progress_texts.front(), QStringLiteral("Searching audio files in the folder, please wait..."));
  EXPECT_TRUE(ui_.progress_texts.contains(QStringLiteral("Loading # 02/02 - b.wav")));
  EXPECT_EQ(list_.Text(1, ListColumn::FilePath), Path(QStringLiteral("Album/CD2/")));
}

TEST_F(LoaderTest, HandOffOfOneFileOrAList) {
  EXPECT_EQ(loader_.HandOff(HandOffMode::SingleFile, Wav(QStringLiteral("one.wav"))).added, 1);
  const QString list = HandOffList(QStringLiteral("[FileTotal]\nTotal=4\n[FileNameItem_01]\nNAME=%1\n"
                                                  "[filenameitem_03]\nname=%2\n[FileNameItem_04]\nNAME=UNKNOW\n")
                                       .arg(Wav(QStringLiteral("a.wav")), Wav(QStringLiteral("c.wav"))));
  EXPECT_EQ(loader_.HandOff(HandOffMode::ListFile, list).added, 2);
  EXPECT_EQ(Names(list_), QStringList({QStringLiteral("one.wav"), QStringLiteral("a.wav"), QStringLiteral("c.wav")}));
  EXPECT_EQ(ui_.progress_texts,
            QStringList({QStringLiteral("Loading # 01/04 - a.wav"), QStringLiteral("Loading # 02/04 - c.wav")}));
  EXPECT_TRUE(QFile::exists(list));

  ui_.answers = {MessageAnswer::Yes};
  ASSERT_TRUE(list_.RemoveAll());
  EXPECT_EQ(loader_.HandOff(HandOffMode::ListFileThenDelete, list).added, 2);
  EXPECT_FALSE(QFile::exists(list));
  EXPECT_EQ(loader_.HandOff(HandOffMode::ListFileThenDelete, list).added, 0);  // gone: nothing, no harm
  EXPECT_EQ(loader_.HandOff(HandOffMode::None, Path(QStringLiteral("one.wav"))).added, 0);
  EXPECT_EQ(list_.Count(), 2);
}

TEST_F(LoaderTest, AddFilesDialogData) {
  const std::vector<SourceFileFilter> filters = SourceFileFilters();
  ASSERT_EQ(filters.size(), 20u);
  EXPECT_EQ(filters[0].description, QStringLiteral("All supported audio files"));
  EXPECT_EQ(filters[0].patterns.size(), 27);
  EXPECT_EQ(filters[0].patterns.last(), QStringLiteral("*.ofs"));
  EXPECT_EQ(filters[10].description, QStringLiteral("Musepack files (*.mpc;*.mp+;*.mpp)"));
  EXPECT_EQ(filters[10].patterns,
            QStringList({QStringLiteral("*.mpc"), QStringLiteral("*.mp+"), QStringLiteral("*.mpp")}));
  EXPECT_EQ(filters[19].patterns, QStringList({QStringLiteral("*")}));
  EXPECT_EQ(AddFilesDialogTitle(), QStringLiteral("Select source audio file(s) to convert"));

  store_.WriteText(keys::section::kConvert, keys::kDefaultSourceFolder, QStringLiteral("/srv/default"));
  ASSERT_EQ(list_.AddPath(Wav(QStringLiteral("in/a.wav"))), 0);
  EXPECT_EQ(AddFilesStartFolder(store_), Path(QStringLiteral("in/")));
  store_.WriteNumber(keys::section::kConvert, keys::kSourceFolderMode, 0);
  EXPECT_EQ(AddFilesStartFolder(store_), QStringLiteral("/srv/default"));
}

TEST_F(LoaderTest, FolderDialogValues) {
  LoadFolderChoice opened = LoadFolderChoice::Load(store_);
  EXPECT_EQ(opened.type_row, 0);
  EXPECT_TRUE(opened.sub_folders);
  EXPECT_EQ(store_.ReadNumber(keys::section::kConvert, keys::kLoadFolderAudioType, -7), 0);
  EXPECT_EQ(store_.ReadNumber(keys::section::kConvert, keys::kSubFolders, -7), 1);

  opened.type_row = 11;
  opened.sub_folders = false;
  EXPECT_FALSE(opened.Accept(ui_, store_));
  EXPECT_EQ(ui_.MessageTexts(), QStringList({QStringLiteral("Please select the folder you'd like to convert.")}));
  EXPECT_EQ(store_.ReadNumber(keys::section::kConvert, keys::kLoadFolderAudioType, -7), 0);
  opened.folder = QStringLiteral("/srv/music");
  EXPECT_TRUE(opened.Accept(ui_, store_));
  const LoadFolderChoice reopened = LoadFolderChoice::Load(store_);
  EXPECT_EQ(reopened.folder, QStringLiteral("/srv/music"));
  EXPECT_EQ(reopened.type_row, 11);
  EXPECT_FALSE(reopened.sub_folders);
}

}  // namespace
}  // namespace corvane
