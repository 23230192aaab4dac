// The main window under the offscreen platform: first page, page buttons and F9, Esc, the
// refused close, placement, and the settings/about page.
#include <QAction>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QtTest>

#include "app/CAudioConverterApp.h"
#include "app/gui/CAboutPage.h"
#include "app/gui/CAudioConverterDlg.h"
#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "converter/gui/CConvertPage.h"
#include "ripper/gui/CRipperPage.h"
#include "support/TestSettings.h"
#include "app/gui/QtUserInterface.h"

using namespace corvane;

namespace {

int Stored(const char* value, int fallback = -12345) {
  return SettingsStore::ReadNumber(keys::section::kConvert, value, fallback);
}


}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::TestSettings> settings_;
  std::unique_ptr<CAudioConverterApp> app_;
  QtUserInterface ui_;
  std::unique_ptr<QTimer> dismisser_;
  QStringList dismissed_;
  bool keep_boxes_ = false;

  std::unique_ptr<CAudioConverterDlg> MakeWindow(const QStringList& args = {}) {
    app_ = std::make_unique<CAudioConverterApp>();
    if (!app_->StartUp(args, ui_)) return nullptr;
    auto window = std::make_unique<CAudioConverterDlg>(*app_, ui_);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get())) return nullptr;
    return window;
  }

 private slots:
  void init() {
    settings_ = std::make_unique<test::TestSettings>();
    // Message boxes that start-up or a page shows (a launch file that cannot be loaded) are
    // answered, so that no test waits on a window nobody sees.
    dismisser_ = std::make_unique<QTimer>();
    connect(dismisser_.get(), &QTimer::timeout, [this] {
      for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible() && !keep_boxes_) {
          dismissed_ << box->text();
          box->accept();
        }
      }
    });
    dismisser_->start(50);
  }
  void cleanup() {
    dismisser_.reset();
    dismissed_.clear();
    app_.reset();
    settings_.reset();
  }

  void firstStartShowsTheRipperWithTitleAndStatus() {
    auto window = MakeWindow();
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QStringLiteral("Corvane v5.0"));
    QCOMPARE(window->VisiblePage(), 2);
    QVERIFY(window->PageButton(2)->isChecked());
    QVERIFY(!window->PageButton(1)->isChecked());
    QCOMPARE(Stored(keys::kInitialPanel), 2);
    QCOMPARE(window->StatusText(0), QStringLiteral("Quillon, Inc."));
    QCOMPARE(window->StatusText(1), QStringLiteral("Output - "));
    QVERIFY(!SettingsStore::Contains(keys::section::kConvert, keys::kInitialPosX));
    ui_.SetStatusText(1, QStringLiteral("Output - /tmp/x.mp3"));
    QCOMPARE(window->StatusText(1), QStringLiteral("Output - /tmp/x.mp3"));
    QVERIFY(window->close());
    QVERIFY(SettingsStore::Contains(keys::section::kConvert, keys::kInitialPosX));
    QVERIFY(Stored(keys::kInitialWidth) >= window->minimumWidth());
    QVERIFY(Stored(keys::kInitialHeight) >= window->minimumHeight());
  }

  void launchSourceOpensTheConverter() {
    SettingsStore::WriteNumber(keys::section::kConvert, keys::kInitialPanel, 3);
    auto window = MakeWindow({QStringLiteral("-a"), QStringLiteral("CONVERT"), QStringLiteral("-s"),
                              QStringLiteral("/some/file.mp3")});
    QCOMPARE(window->VisiblePage(), 1);
    QCOMPARE(Stored(keys::kInitialPanel), 1);
    // The file does not exist: the converter page reports that it could not load it.
    QTRY_VERIFY_WITH_TIMEOUT(!dismissed_.isEmpty(), 60000);
    QVERIFY(dismissed_.front().contains(QStringLiteral("/some/file.mp3")));
  }

  void buttonThenF9FollowsTheCyclePosition() {
    auto window = MakeWindow();
    QTest::mouseClick(window->PageButton(1), Qt::LeftButton);
    QCOMPARE(window->VisiblePage(), 1);
    QCOMPARE(Stored(keys::kInitialPanel), 1);
    QTest::keyClick(window->ConvertPage(), Qt::Key_F9);
    QCOMPARE(window->VisiblePage(), 3);
    QVERIFY(window->PageButton(3)->isChecked());
    QTest::keyClick(window->AboutPage(), Qt::Key_F9);
    QCOMPARE(window->VisiblePage(), 1);
    QTest::keyClick(window.get(), Qt::Key_F9);
    QCOMPARE(window->VisiblePage(), 2);
  }

  void escapeNeverClosesTheWindow() {
    auto window = MakeWindow();
    QTest::keyClick(window->RipperPage(), Qt::Key_Escape);
    QTest::keyClick(window.get(), Qt::Key_Escape);
    QVERIFY(window->isVisible());
  }

  void closeIsRefusedWhileAJobRuns() {
    auto window = MakeWindow();
    window->RipperPage()->SetJobRunning(true);
    window->move(40, 50);
    QString shown;
    keep_boxes_ = true;
    QTimer::singleShot(50, [&shown] {
      for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) {
          shown = box->text();
          box->accept();
        }
      }
    });
    QVERIFY(!window->close());
    keep_boxes_ = false;
    QVERIFY(window->isVisible());
    QVERIFY(shown.startsWith(QStringLiteral("Can not exit while converter or ripper is runing")));
    QVERIFY(SettingsStore::Contains(keys::section::kConvert, keys::kInitialHeight));
    window->RipperPage()->SetJobRunning(false);
    QVERIFY(window->close());
  }

  void placementIsRestoredWhenOnScreen() {
    MainWindowLogic::SavePlacement(QRect(30, 40, 1000, 800));
    auto window = MakeWindow();
    QCOMPARE(window->size(), QSize(1000, 800));
    window.reset();
    // Far off every screen: not applied, the window keeps its initial size.
    MainWindowLogic::SavePlacement(QRect(-40000, -40000, 1100, 900));
    window = MakeWindow();
    QVERIFY(window->size() != QSize(1100, 900));
  }

  void aboutPageSummariesAndMenu() {
    SettingsStore::WriteNumber(keys::section::kRip, keys::kGrabModePreset, 9);
    auto window = MakeWindow();
    CAboutPage* about = window->AboutPage();
    QVERIFY(about->RipperSummary().startsWith(QStringLiteral("Grab Mode: \n  Precision grab mode\n")));
    QVERIFY(about->ConverterSummary().contains(QStringLiteral("Last opened folder")));
    auto* version = about->findChild<QLabel*>(QStringLiteral("versionLabel"));
    QVERIFY(version);
    QCOMPARE(version->text(), QStringLiteral("Version: 5.01 Build 1"));
    QVERIFY(about->MenuAction(CAboutPage::SettingsDialog::Converter)->isEnabled());
    QVERIFY(!about->MenuAction(CAboutPage::SettingsDialog::Ripper)->isEnabled());  // no ripper settings dialog yet

    // A dialog confirmed with OK rebuilds the summary from the store; one cancelled does not.
    bool confirm = false;
    about->SetDialogOpener(CAboutPage::SettingsDialog::Converter, [&confirm](QWidget*) {
      SettingsStore::WriteNumber(keys::section::kConvert, keys::kAutoOpenFolder, 1);
      return confirm;
    });
    QAction* converter = about->MenuAction(CAboutPage::SettingsDialog::Converter);
    QVERIFY(converter->isEnabled());
    converter->trigger();
    QVERIFY(about->ConverterSummary().contains(QStringLiteral("Open Destination Folder:  No")));
    confirm = true;
    converter->trigger();
    QVERIFY(about->ConverterSummary().contains(QStringLiteral("Open Destination Folder:  Yes")));
  }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindow_test.moc"
