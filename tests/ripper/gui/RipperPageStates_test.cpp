// The "CD Ripper" page in the states a user meets besides a plain load, under the offscreen
// platform with the real components: no drive at the first start, a rip in progress, a look-up
// cancelled in its progress window, a broken disc image, and disc images in the device box.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QtTest>

#include "common/MemorySettings.h"
#include "common/SettingsKeys.h"
#include "common/StringTable.h"
#include "common/strings/RipperText.h"
#include "ripper/RipperController.h"
#include "ripper/gui/CRipperPage.h"
#include "support/DiscImageFixture.h"
#include "support/LoopbackHttpServer.h"
#include "support/gui/RipperPageHost.h"
#include "ui/CheckListView.h"

using namespace corvane;

namespace {

const char* const kRip = keys::section::kRip;

test::DiscPlan Plan() {
  test::DiscPlan plan;
  plan.title = QStringLiteral("Harbour Lights");
  plan.performer = QStringLiteral("The Quays");
  plan.tracks = {{750, false, QStringLiteral("Low Tide"), {}}, {1500, false, QStringLiteral("Gulls"), {}}};
  return plan;
}

QProgressDialog* VisibleProgress() {
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (auto* dialog = qobject_cast<QProgressDialog*>(top); dialog != nullptr && dialog->isVisible()) return dialog;
  }
  return nullptr;
}

}  // namespace

class RipperPageStatesTest : public QObject {
  Q_OBJECT
 private:
  QTemporaryDir dir_;
  std::unique_ptr<test::RipperPageHost> host_;
  MemorySettings* settings_ = nullptr;
  CRipperPage* page_ = nullptr;
  QStringList shown_;  // the texts of the message boxes, in order
  bool box_over_shown_window_ = true;

  void Answer(QDialog& dialog) {
    if (qobject_cast<QProgressDialog*>(&dialog) != nullptr) return;
    if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
      shown_ << box->text();
      // A box belongs over the window, after the window is up and with no progress window left.
      box_over_shown_window_ = box_over_shown_window_ && box->parentWidget() == &host_->Window() &&
                               host_->Window().isVisible() && VisibleProgress() == nullptr;
      box->accept();
    } else {
      dialog.reject();
    }
  }

  void MakePage(const QStringList& images) {
    settings_->WriteText(kRip, keys::kDiscImages, images.join(u'\n'));
    page_ = host_->Show();
    QVERIFY(page_ != nullptr);
  }

  test::DiscImage Build(const QString& folder, const QString& name) const {
    QDir().mkpath(dir_.filePath(folder));
    return test::DiscImageFixture(dir_.filePath(folder)).Build(name, Plan());
  }

  // The disc's fields and commands as the page shows them, one line.
  QString DiscFields() const {
    return QStringList({page_->ArtistField()->text(), page_->AlbumField()->text(), page_->YearField()->text(),
                        page_->GenreBox()->currentText(), QString::number(page_->TrackList()->RowCount()),
                        page_->FreedbButton()->isEnabled() ? "freedb on" : "freedb off"})
        .join(u'|');
  }

 private slots:
  void initTestCase() { QVERIFY(dir_.isValid()); }

  void init() {
    host_ = std::make_unique<test::RipperPageHost>(dir_.path(), [this](QDialog& dialog) { Answer(dialog); });
    settings_ = &host_->Settings();
    settings_->WriteNumber(kRip, keys::kDiscAutoLoad, 1);
    settings_->WriteNumber(kRip, keys::kVerifyAccurateRip, 0);  // no database here
    settings_->WriteNumber(keys::section::kDialogToggle, keys::kFreeDbTips, 0);
  }

  void cleanup() {
    host_.reset();
    settings_ = nullptr;
    page_ = nullptr;
    shown_.clear();
    box_over_shown_window_ = true;
  }

  void firstStartWithoutADriveTellsOverTheWindowAndPointsAtImages() {
    MakePage({});
    if (page_->DeviceBox()->count() > 0) QSKIP("this machine has a drive");
    QTRY_COMPARE(shown_.size(), 1);
    QVERIFY(box_over_shown_window_);
    QCOMPARE(shown_[0], StringTable::Text(text::kNoDrivesDetected));
    QVERIFY(shown_[0].contains(QStringLiteral("cdrom")) && !shown_[0].contains(QStringLiteral("Windows")));
    QCOMPARE(page_->DeviceBox()->currentIndex(), -1);
    QVERIFY(page_->DeviceBox()->placeholderText().contains(StringTable::Text(text::kOpenDiscImageButton)));

    // Load disc with nothing to load says so, every time, and names the way to an image.
    for (int press = 2; press <= 3; ++press) {
      page_->LoadButton()->click();
      QTRY_COMPARE(shown_.size(), press);
      QCOMPARE(shown_.back(), StringTable::Text(text::kNoDriveToLoad));
    }
    QVERIFY(shown_.back().contains(StringTable::Text(text::kOpenDiscImageButton)));
    QVERIFY(box_over_shown_window_);
  }

  void aRipLocksEveryCommandThatWouldDisturbIt() {
    host_->Presets().Load(QString(), host_->Ui());
    const test::DiscImage image = Build(QStringLiteral("rip"), QStringLiteral("rip"));
    MakePage({image.cue});
    QCOMPARE(page_->TrackList()->RowCount(), 2);
    const QString folder = dir_.filePath(QStringLiteral("ripped"));
    QVERIFY(QDir().mkpath(folder));
    page_->OutputNameField()->setText(QStringLiteral("%N"));
    page_->OutputFolderField()->setText(folder);
    QStringList during;
    host_->Ui().SetProgressSink([&](int) {
      if (!during.isEmpty() || !page_->JobRunning()) return;
      const QList<QWidget*> locked = {page_->LoadButton(),     page_->OpenImageButton(),   page_->PlayButton(),
                                      page_->PreviousButton(), page_->NextButton(),        page_->Slider(),
                                      page_->FreedbButton(),   page_->QualityPanelView(),  page_->DeviceBox(),
                                      page_->EjectButton(),    page_->RemoveImageButton(), page_->TrackList()};
      for (QWidget* control : locked) {
        if (control->isEnabled()) during << QStringLiteral("enabled: ") + control->objectName();
      }
      // The play keys reach nothing: no track plays, the selection stays, no box comes up.
      const int selected = page_->TrackList()->FirstSelectedRow();
      page_->OutputNameField()->setFocus();
      for (Qt::Key key : {Qt::Key_F2, Qt::Key_F4, Qt::Key_F3}) QTest::keyClick(page_->OutputNameField(), key);
      if (page_->Controller().Playback().Playing()) during << QStringLiteral("playing");
      if (page_->TrackList()->FirstSelectedRow() != selected) during << QStringLiteral("stepped");
      // A command that reaches the logic by another way is refused as well.
      page_->Controller().Playback().PlayRow(1, 0);
      page_->Controller().LoadDisc();
      if (page_->Controller().Playback().Playing()) during << QStringLiteral("played");
      during << QStringLiteral("checked");
    });
    QTest::keyClick(page_->TrackList(), Qt::Key_R, Qt::AltModifier);
    QCOMPARE(during, QStringList({QStringLiteral("checked")}));
    QCOMPARE(shown_, QStringList());
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 3);  // two tracks and the rip log
    QCOMPARE(page_->TrackList()->Cell(1, 4), QStringLiteral("Completed"));
    // Afterwards every command is back.
    QVERIFY(!page_->JobRunning() && !page_->Controller().Busy());
    for (QWidget* control : {static_cast<QWidget*>(page_->OpenImageButton()), page_->QualityPanelView(),
                             static_cast<QWidget*>(page_->NextButton()), static_cast<QWidget*>(page_->Slider())}) {
      QVERIFY2(control->isEnabled(), qPrintable(control->objectName()));
    }
    page_->TrackList()->setFocus();
    QTest::keyClick(page_->TrackList(), Qt::Key_F4);
    QCOMPARE(page_->TrackList()->FirstSelectedRow(), 1);
  }

  void aLookUpIsCancelledInItsWindowAndChangesNothing() {
    test::LoopbackHttpServer server([](const test::HttpRequest&) { return test::HttpAnswer::Silence(); });
    settings_->WriteText(keys::section::kFreeDb, keys::kServerName, QStringLiteral("127.0.0.1"));
    settings_->WriteNumber(keys::section::kFreeDb, keys::kServerPort, server.Port());
    int settingsOpened = 0;
    const test::DiscImage image = Build(QStringLiteral("lookup"), QStringLiteral("lookup"));
    MakePage({image.cue});
    page_->SetFreedbSettingsOpener([&] { ++settingsOpened; });
    const QString before = DiscFields();
    for (int attempt = 1; attempt <= 2; ++attempt) {
      page_->FreedbButton()->click();
      QTRY_VERIFY(VisibleProgress() != nullptr && server.Requests().size() >= static_cast<size_t>(attempt));
      QProgressDialog* progress = VisibleProgress();
      QCOMPARE(progress->windowTitle(), QStringLiteral("Corvane"));
      auto* cancel = progress->findChild<QPushButton*>();
      QVERIFY(cancel != nullptr && cancel->isEnabled());
      cancel->click();
      QTRY_VERIFY(VisibleProgress() == nullptr && !page_->Controller().Busy());
      QCOMPARE(DiscFields(), before);
      QCOMPARE(page_->TrackList()->Cell(0, 2), QStringLiteral("Low Tide"));
    }
    QCOMPARE(shown_, QStringList());
    QCOMPARE(settingsOpened, 0);
  }

  void aBrokenImageSaysWhichFileAndClearsTheOldDisc() {
    const test::DiscImage good = Build(QStringLiteral("good"), QStringLiteral("good"));
    const test::DiscImage broken = Build(QStringLiteral("broken"), QStringLiteral("broken"));
    const test::DiscImage later = Build(QStringLiteral("later"), QStringLiteral("later"));
    QVERIFY(QFile::remove(broken.bin));
    MakePage({good.cue});
    const QString empty = QStringLiteral("||||0|freedb off");
    QVERIFY(DiscFields() != empty);

    // Opened by the user, the image whose .bin is missing names that file.
    page_->Controller().OpenDiscImage(broken.cue);
    QTRY_COMPARE(shown_.size(), 1);
    QVERIFY2(shown_[0].contains(QFileInfo(broken.bin).fileName()), qPrintable(shown_[0]));
    QCOMPARE(DiscFields(), empty);

    // A listed image whose .bin went away since: Load disc names it too and clears the disc.
    page_->Controller().OpenDiscImage(later.cue);
    QCOMPARE(page_->TrackList()->RowCount(), 2);
    QVERIFY(QFile::remove(later.bin));
    page_->LoadButton()->click();
    QTRY_COMPARE(shown_.size(), 2);
    QVERIFY2(shown_[1].contains(QFileInfo(later.bin).fileName()), qPrintable(shown_[1]));
    QCOMPARE(host_->Statuses().back(), shown_[1]);
    QCOMPARE(DiscFields(), empty);
  }

  void imagesAreShownAsImagesAndCanBeRemoved() {
    const test::DiscImage first = Build(QStringLiteral("first"), QStringLiteral("disc"));
    const test::DiscImage second = Build(QStringLiteral("second"), QStringLiteral("disc"));
    MakePage({first.cue, second.cue});
    QComboBox* box = page_->DeviceBox();
    QCOMPARE(box->count(), 2);
    QVERIFY(box->itemText(0) != box->itemText(1));
    for (int i = 0; i < 2; ++i) {
      const QString folder = QDir::toNativeSeparators(QFileInfo(i == 0 ? first.cue : second.cue).absolutePath());
      QVERIFY2(box->itemText(i).contains(folder), qPrintable(box->itemText(i)));
      QCOMPARE(box->itemData(i, Qt::ToolTipRole).toString(), QDir::toNativeSeparators(i == 0 ? first.cue : second.cue));
    }
    QVERIFY(host_->Statuses().back().startsWith(QStringLiteral("[Disc image] - disc loaded successfully")));

    const int removed = box->currentIndex();
    const QString kept = removed == 0 ? second.cue : first.cue;
    QVERIFY(page_->RemoveImageButton()->isEnabled());
    page_->RemoveImageButton()->click();
    QTRY_COMPARE(box->count(), 1);
    QCOMPARE(settings_->ReadText(kRip, keys::kDiscImages), kept);
    QCOMPARE(box->itemData(0, Qt::ToolTipRole).toString(), QDir::toNativeSeparators(kept));
    QVERIFY(!box->itemText(0).contains(u'('));  // one "disc.cue" left: its name alone
    QTRY_COMPARE(page_->TrackList()->RowCount(), 2);
    QCOMPARE(shown_, QStringList());
  }
};

QTEST_MAIN(RipperPageStatesTest)
#include "RipperPageStates_test.moc"
