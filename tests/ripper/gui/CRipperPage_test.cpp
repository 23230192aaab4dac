// The "CD Ripper" page under the offscreen platform with the real components on a generated disc
// image: the loaded track list and status, the list's header, check boxes and editing, the
// popup after a load, and the page's keys.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QtTest>

#include "app/gui/QtUserInterface.h"
#include "common/MemorySettings.h"
#include "common/SettingsKeys.h"
#include "common/StringTable.h"
#include "common/strings/RipperText.h"
#include "presets/COutputQualityMgmt.h"
#include "ripper/RipperController.h"
#include "ripper/RipperTestKit.h"
#include "ripper/gui/CRipperPage.h"
#include "support/DiscImageFixture.h"
#include "support/LoopbackHttpServer.h"
#include "support/gui/RipperPageHost.h"
#include "ui/CheckListView.h"
#include "ui/InformationPopup.h"

using namespace corvane;

class CRipperPageTest : public QObject {
  Q_OBJECT
 private:
  QTemporaryDir dir_;
  test::DiscImage image_;
  std::unique_ptr<test::RipperPageHost> host_;
  MemorySettings* settings_ = nullptr;
  CRipperPage* page_ = nullptr;
  QStringList shown_;  // "message: ..." or "popup: ..." in order
  bool tick_popup_box_ = false;

  void Answer(QDialog& dialog) {
    if (qobject_cast<QProgressDialog*>(&dialog) != nullptr) return;
    if (auto* chooser = qobject_cast<QFileDialog*>(&dialog)) {
      shown_ << QStringLiteral("folder: ") + chooser->windowTitle();
      chooser->reject();
    } else if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
      shown_ << QStringLiteral("message: ") + box->text();
      box->accept();
    } else if (auto* popup = qobject_cast<InformationPopup*>(&dialog)) {
      shown_ << QStringLiteral("popup: ") + popup->findChild<QLabel*>(QStringLiteral("popupText"))->text();
      popup->findChild<QCheckBox*>(QStringLiteral("dontShowAgain"))->setChecked(tick_popup_box_);
      popup->accept();
    } else {
      // The completion window of a rip: what the page looks like while the run still holds it.
      if (page_ != nullptr && page_->JobRunning()) {
        shown_ << QStringLiteral("running: %1, load %2, list %3")
                      .arg(page_->RipButton()->text(), page_->LoadButton()->isEnabled() ? "on" : "off",
                           page_->TrackList()->isEnabled() ? "on" : "off");
      }
      dialog.reject();
    }
  }

  // The popup of the load at start-up comes up over the shown page.
  bool MakePage() {
    page_ = host_->Show();
    return page_ != nullptr;
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    test::DiscPlan plan;
    plan.title = QStringLiteral("Harbour Lights");
    plan.performer = QStringLiteral("The Quays");
    plan.tracks = {
        {750, false, QStringLiteral("Low Tide"), {}}, {1500, false, QStringLiteral("Gulls"), {}}, {4875, true, {}, {}}};
    image_ = test::DiscImageFixture(dir_.path()).Build(QStringLiteral("page"), plan);
  }

  void init() {
    host_ = std::make_unique<test::RipperPageHost>(dir_.path(), [this](QDialog& dialog) { Answer(dialog); });
    settings_ = &host_->Settings();
    settings_->WriteText(keys::section::kRip, keys::kDiscImages, image_.cue);
    settings_->WriteNumber(keys::section::kRip, keys::kDiscAutoLoad, 1);
    settings_->WriteNumber(keys::section::kRip, keys::kVerifyAccurateRip, 0);  // no database here
  }

  void cleanup() {
    host_.reset();
    settings_ = nullptr;
    page_ = nullptr;
    shown_.clear();
    tick_popup_box_ = false;
  }

  void loadShowsTheDiscAndThePopupOnce() {
    tick_popup_box_ = true;
    QVERIFY(MakePage());
    CheckListView* list = page_->TrackList();
    QCOMPARE(list->RowCount(), 3);
    const QStringList expected[3] = {{"01", "Low Tide", " 0:10", "Loaded", "AUDIO"},
                                     {"02", "Gulls", " 0:20", "Loaded", "AUDIO"},
                                     {"03", "", " 1:05", "Loaded", "DATA (Mode 1)"}};
    for (int row = 0; row < 3; ++row) {
      for (int column = 1; column <= 5; ++column) QCOMPARE(list->Cell(row, column), expected[row][column - 1]);
      QVERIFY(list->IsChecked(row));
      QCOMPARE(list->topLevelItem(row)->background(3).color(), row % 2 ? QColor(248, 249, 253) : QColor(Qt::white));
    }
    QCOMPARE(list->headerItem()->text(2), QStringLiteral("Track Title"));
    QCOMPARE(list->columnWidth(1), 25);
    QCOMPARE(list->columnWidth(4), 80);
    const QString loaded = StringTable::Format(
        text::kDiscLoaded, {QStringLiteral("Disc image"), static_cast<qulonglong>(test::DiscIdFromCdInfo(image_.cue))});
    QCOMPARE(host_->Statuses().back(), loaded);
    QCOMPARE(shown_, QStringList({QStringLiteral("popup: ") + StringTable::Text(text::kFreedbTip)}));
    QCOMPARE(settings_->ReadNumber(keys::section::kDialogToggle, keys::kFreeDbTips, -1), 0);
    QCOMPARE(page_->ArtistField()->text(), QStringLiteral("The Quays"));
    QCOMPARE(page_->AlbumField()->text(), QStringLiteral("Harbour Lights"));
    QCOMPARE(page_->GenreBox()->count(), 149);
    QCOMPARE(page_->DeviceBox()->count(), 1);
    QVERIFY(page_->FreedbButton()->isEnabled() && page_->NextButton()->isEnabled());
    QCOMPARE(page_->PositionLabel()->text(), QStringLiteral("[# 01]  0:00"));
    QCOMPARE(page_->StatusLabel()->text(), QStringLiteral("Idle"));
    QCOMPARE(page_->PlayButton()->toolTip(), QStringLiteral("(F2) Play selected track"));
    QCOMPARE(page_->Slider()->maximum(), 100);
    QVERIFY(page_->AutoLoadBox()->isChecked());
    // Loading again: the box was ticked, so no popup.
    page_->TrackList()->setFocus();
    QTest::keyClick(page_->TrackList(), Qt::Key_L, Qt::AltModifier);
    QTRY_COMPARE(host_->Statuses().filter(QStringLiteral("disc loaded")).size(), 2);
    QCOMPARE(shown_.size(), 1);
  }

  void loadWindowOffersNoCancel() {
    // Loading a disc cannot stop half-way, so its progress window has no working Cancel.
    const std::unique_ptr<IProgressWindow> window = host_->Ui().OpenProgressWindow(QString());
    QPushButton* cancel = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (auto* dialog = qobject_cast<QProgressDialog*>(top)) cancel = dialog->findChild<QPushButton*>();
    }
    QVERIFY(cancel != nullptr && cancel->isEnabled());
    window->SetCancelEnabled(false);
    QVERIFY(!cancel->isEnabled());
  }

  void headerBoxesAndEditing() {
    settings_->WriteNumber(keys::section::kDialogToggle, keys::kFreeDbTips, 0);
    QVERIFY(MakePage());
    CheckListView* list = page_->TrackList();
    QCOMPARE(list->Image(), CheckListView::HeaderImage::AllChecked);
    QHeaderView* header = list->header();
    const QPoint firstSection(header->sectionViewportPosition(0) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, firstSection);
    QCOMPARE(list->Image(), CheckListView::HeaderImage::NoneChecked);
    for (int row = 0; row < 3; ++row) QVERIFY(!list->IsChecked(row));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, firstSection);
    for (int row = 0; row < 3; ++row) QVERIFY(list->IsChecked(row));

    // Enter toggles the selected row's box; F4 steps to the next row.
    list->setFocus();
    QCOMPARE(list->FirstSelectedRow(), 0);
    QTest::keyClick(list, Qt::Key_Return);
    QVERIFY(!list->IsChecked(0));
    QTest::keyClick(list, Qt::Key_F4);
    QCOMPARE(list->FirstSelectedRow(), 1);
    QCOMPARE(page_->PositionLabel()->text(), QStringLiteral("[# 02]  0:00"));

    // Alt+E on an image says it has no tray and leaves the list alone; Esc is swallowed.
    QTest::keyClick(page_, Qt::Key_Escape);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_E, Qt::AltModifier);
    // A button's own key clicks it a moment later.
    QTRY_COMPARE(host_->Statuses().back(), StringTable::Text(text::kDiscImageHasNoTray));
    QCOMPARE(list->RowCount(), 3);
    QVERIFY(host_->Window().isVisible());

    // Only the title opens an editor, on a double-click among others.
    QVERIFY(list->editTriggers().testFlag(QAbstractItemView::DoubleClicked));
    for (int column : {3, 1, 5, 2}) {
      list->edit(list->model()->index(1, column));
      QCOMPARE(list->viewport()->findChild<QLineEdit*>() != nullptr, column == 2);
    }
    QVERIFY(shown_.isEmpty());
  }

  void lookUpFillsTheTitlesAndAnEditLastsUntilTheDiscChanges() {
    test::LoopbackHttpServer server([](const test::HttpRequest& request) {
      if (request.FormValue("cmd").startsWith("cddb query"))
        return test::HttpAnswer::Text("200 folk 0a0b0c0d A / B\r\n");
      return test::HttpAnswer::Text(
          "210 folk 0a0b0c0d\r\nDTITLE=Tide Tables / Sea Room\r\nDYEAR=1987\r\nDGENRE=folk\r\nTTITLE0=Ebb\r\n"
          "TTITLE1=Flood\r\n.\r\n");
    });
    settings_->WriteNumber(keys::section::kDialogToggle, keys::kFreeDbTips, 0);
    settings_->WriteText(keys::section::kFreeDb, keys::kServerName, QStringLiteral("127.0.0.1"));
    settings_->WriteNumber(keys::section::kFreeDb, keys::kServerPort, server.Port());
    QVERIFY(MakePage());
    CheckListView* list = page_->TrackList();
    QCOMPARE(list->Cell(0, 2), QStringLiteral("Low Tide"));
    QTest::mouseClick(page_->FreedbButton(), Qt::LeftButton);
    QTRY_COMPARE(list->Cell(1, 2), QStringLiteral("Flood"));
    QCOMPARE(list->Cell(0, 2), QStringLiteral("Ebb"));
    QCOMPARE(list->Cell(2, 2), QString());
    QCOMPARE(page_->ArtistField()->text(), QStringLiteral("Tide Tables"));
    QCOMPARE(page_->AlbumField()->text(), QStringLiteral("Sea Room"));
    QCOMPARE(page_->GenreBox()->currentText(), QStringLiteral("Folk"));
    QCOMPARE(host_->Statuses().back(), StringTable::Text(text::kFreedbRetrieved));

    // What an in-place edit commits.
    list->model()->setData(list->model()->index(0, 2), QStringLiteral("Low Water"));
    QCOMPARE(list->Cell(0, 2), QStringLiteral("Low Water"));
    page_->NextButton()->click();
    QCOMPARE(list->FirstSelectedRow(), 1);
    QCOMPARE(list->Cell(0, 2), QStringLiteral("Low Water"));

    page_->Controller().OnDiscChanged();
    QTRY_COMPARE(list->Cell(0, 2), QStringLiteral("Low Tide"));
    QCOMPARE(page_->ArtistField()->text(), QStringLiteral("The Quays"));
    QVERIFY(shown_.isEmpty());
  }

  void outputFieldsStoreAsTheyChangeAndAltDBrowses() {
    QVERIFY(MakePage());
    shown_.clear();
    QCOMPARE(page_->OutputNameField()->text(), QStringLiteral("%A\\%M\\Track%N-%T"));
    page_->OutputNameField()->clear();
    QTest::keyClicks(page_->OutputNameField(), QStringLiteral("%N-%T"));
    QCOMPARE(settings_->ReadText(keys::section::kRip, keys::kOutputName), QStringLiteral("%N-%T"));
    QTest::keyClicks(page_->OutputFolderField(), QStringLiteral("/x"));
    QCOMPARE(settings_->ReadText(keys::section::kRip, keys::kOutputFolder), QStringLiteral("/x"));

    // Alt+D opens the folder chooser; cancelling it keeps the folder.
    QTest::keyClick(page_->TrackList(), Qt::Key_D, Qt::AltModifier);
    QTRY_COMPARE_WITH_TIMEOUT(shown_.size(), 1, 20000);
    QCOMPARE(shown_[0], QStringLiteral("folder: Please select the output folder for ripping:"));
    QCOMPARE(settings_->ReadText(keys::section::kRip, keys::kOutputFolder), QStringLiteral("/x"));
    page_->findChild<QPushButton*>(QStringLiteral("outputNameTips"))->click();
    QTRY_COMPARE_WITH_TIMEOUT(shown_.size(), 2, 20000);
    QVERIFY(shown_[1].startsWith(QStringLiteral("message: You can use following tags")));
  }

  void altRRipsTheCheckedTracksWhileThePageIsLocked() {
    host_->Presets().Load(QString(), host_->Ui());
    QVERIFY(MakePage());
    shown_.clear();
    const QString folder = dir_.filePath(QStringLiteral("ripped"));
    QVERIFY(QDir().mkpath(folder));
    page_->TrackList()->SetChecked(2, false);
    page_->OutputNameField()->setText(QStringLiteral("%N"));
    page_->OutputFolderField()->setText(folder);
    QCOMPARE(page_->RipButton()->text(), QStringLiteral("Start &Rip"));
    QTest::keyClick(page_->TrackList(), Qt::Key_R, Qt::AltModifier);
    QCOMPARE(shown_, QStringList({QStringLiteral("running: Stop &Rip, load off, list off")}));
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 3);  // two tracks and the rip log
    QCOMPARE(QDir(folder).entryList({QStringLiteral("*.log")}, QDir::Files).size(), 1);
    QCOMPARE(page_->TrackList()->Cell(1, 4), QStringLiteral("Completed"));
    QCOMPARE(page_->TrackList()->Cell(2, 4), QStringLiteral("Skipped"));
    QCOMPARE(page_->RipButton()->text(), QStringLiteral("Start &Rip"));
    QVERIFY(page_->LoadButton()->isEnabled() && page_->TrackList()->isEnabled() && !page_->JobRunning());
    QCOMPARE(page_->StatusLabel()->text(), QStringLiteral("Idle"));
  }
};

QTEST_MAIN(CRipperPageTest)
#include "CRipperPage_test.moc"
