// The main window under the offscreen platform: first page, page buttons and F9, Esc, the
// refused close, placement, and the settings/about page.
#include <QAction>
#include <QHeaderView>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTableView>
#include <QtTest>

#include "app/CAudioConverterApp.h"
#include "app/HelpManual.h"
#include "app/gui/CAboutPage.h"
#include "app/gui/CAudioConverterDlg.h"
#include "app/gui/GuiSetUp.h"
#include "app/gui/QtUserInterface.h"
#include "common/FileSettings.h"
#include "common/SettingsKeys.h"
#include "converter/gui/CConvertPage.h"
#include "converter/gui/ConversionListView.h"
#include "ripper/gui/CFreeDBSettings.h"
#include "ripper/gui/CRipSettings.h"
#include "ripper/gui/CRipperPage.h"
#include "support/ScriptedUserInterface.h"
#include "support/SourceFixtures.h"
#include "support/TestSettings.h"
#include "support/gui/DialogAnswerer.h"

using namespace corvane;

namespace {

// The window keeps its settings in the real file; the tests read and write that file.
int Stored(const char* value, int fallback = -12345) {
  return FileSettings().ReadNumber(keys::section::kConvert, value, fallback);
}

struct NoPages final : IPageHost {
  void ShowPage(Page) override {}
  void SetButtonStates(const std::array<int, 3>&) override {}
};

// Saves a placement as the window does when it closes.
void SavePlacement(const QRect& frame) {
  NoPages host;
  FileSettings settings;
  MainWindowLogic(host, settings).SavePlacement(frame);
}

// The placement the next start would restore.
std::optional<QRect> StoredPlacement() {
  NoPages host;
  FileSettings settings;
  return MainWindowLogic(host, settings).StoredPlacement();
}

}  // namespace

class CAudioConverterDlgTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::TestSettings> settings_;
  std::unique_ptr<CAudioConverterApp> app_;
  QtUserInterface ui_;
  std::unique_ptr<test::DialogAnswerer> dismisser_;
  QStringList dismissed_;
  QStringList dismissed_titles_;
  QList<int> dismissed_cursors_;  // the override cursor's shape while each box was up; -1 for none

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
    dismisser_ = std::make_unique<test::DialogAnswerer>(
        [this](QDialog& dialog) {
          if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
            dismissed_ << box->text();
            dismissed_titles_ << box->windowTitle();
            const QCursor* cursor = QGuiApplication::overrideCursor();
            dismissed_cursors_ << (cursor != nullptr ? static_cast<int>(cursor->shape()) : -1);
            box->accept();
          }
        },
        50);
  }
  void cleanup() {
    dismisser_.reset();
    dismissed_.clear();
    dismissed_titles_.clear();
    dismissed_cursors_.clear();
    app_.reset();
    settings_.reset();
  }

  void firstStartShowsTheRipperWithTitleAndStatus() {
    auto window = MakeWindow();
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QStringLiteral("Corvane v5.0"));
    QCOMPARE(window->VisiblePage(), Page::Ripper);
    QVERIFY(window->PageButton(2)->isChecked());
    QVERIFY(!window->PageButton(1)->isChecked());
    QCOMPARE(Stored(keys::kInitialPanel), 2);
    QCOMPARE(window->StatusText(0), QStringLiteral("Quillon, Inc."));
    // Without a drive or a disc image the ripper page reports at start-up that it found none.
    QCOMPARE(window->StatusText(1), QStringLiteral("CD / DVD devices initialized failed"));
    QVERIFY(!FileSettings().Contains(keys::section::kConvert, keys::kInitialPosX));
    ui_.SetStatusText(1, QStringLiteral("Output - /tmp/x.mp3"));
    QCOMPARE(window->StatusText(1), QStringLiteral("Output - /tmp/x.mp3"));
    QVERIFY(window->close());
    QVERIFY(FileSettings().Contains(keys::section::kConvert, keys::kInitialPosX));
    QVERIFY(Stored(keys::kInitialWidth) >= window->minimumWidth());
    QVERIFY(Stored(keys::kInitialHeight) >= window->minimumHeight());
  }

  void launchSourceOpensTheConverter() {
    FileSettings().WriteNumber(keys::section::kConvert, keys::kInitialPanel, 3);
    auto window = MakeWindow(
        {QStringLiteral("-a"), QStringLiteral("CONVERT"), QStringLiteral("-s"), QStringLiteral("/some/file.mp3")});
    QCOMPARE(window->VisiblePage(), Page::Convert);
    QCOMPARE(Stored(keys::kInitialPanel), 1);
    // The file does not exist: the converter page reports that it could not load it.
    QTRY_VERIFY_WITH_TIMEOUT(!dismissed_.isEmpty(), 60000);
    QVERIFY(dismissed_.front().contains(QStringLiteral("/some/file.mp3")));
  }

  void anInitialPanelOutOfRangeLeavesOnlyThePageAreaEmpty() {
    FileSettings().WriteNumber(keys::section::kConvert, keys::kInitialPanel, 7);
    auto window = MakeWindow();
    window->resize(1000, 700);
    QTRY_COMPARE(window->height(), 700);
    QCOMPARE(window->VisiblePage(), Page::None);
    QCOMPARE(Stored(keys::kInitialPanel), 2);
    QWidget* buttons = window->PageButton(1)->parentWidget();
    QCOMPARE(buttons->height(), buttons->sizeHint().height());
    auto* statusBar = window->findChild<QStatusBar*>();
    QVERIFY(statusBar);
    QVERIFY2(statusBar->geometry().bottom() >= window->height() - 16, qPrintable(QString::number(statusBar->y())));
    auto* area = window->findChild<QWidget*>(QStringLiteral("pageArea"));
    QVERIFY(area);
    QVERIFY(area->height() > window->height() / 2);
    QTest::mouseClick(window->PageButton(1), Qt::LeftButton);
    QCOMPARE(window->VisiblePage(), Page::Convert);
    QCOMPARE(window->ConvertPage()->findChild<QLabel*>(QStringLiteral("informationLine"))->text(),
             QStringLiteral("Audio Information - "));
  }

  void buttonThenF9FollowsTheCyclePosition() {
    auto window = MakeWindow();
    QTest::mouseClick(window->PageButton(1), Qt::LeftButton);
    QCOMPARE(window->VisiblePage(), Page::Convert);
    QCOMPARE(Stored(keys::kInitialPanel), 1);
    QTest::keyClick(window->ConvertPage(), Qt::Key_F9);
    QCOMPARE(window->VisiblePage(), Page::About);
    QVERIFY(window->PageButton(3)->isChecked());
    QTest::keyClick(window->AboutPage(), Qt::Key_F9);
    QCOMPARE(window->VisiblePage(), Page::Convert);
    QTest::keyClick(window.get(), Qt::Key_F9);
    QCOMPARE(window->VisiblePage(), Page::Ripper);
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
    dismissed_.clear();
    QVERIFY(!window->close());
    QVERIFY(window->isVisible());
    QCOMPARE(dismissed_.size(), 1);
    QVERIFY(dismissed_.front().startsWith(QStringLiteral("Can not exit while converter or ripper is runing")));
    QVERIFY(FileSettings().Contains(keys::section::kConvert, keys::kInitialHeight));
    window->RipperPage()->SetJobRunning(false);
    QVERIFY(window->close());
  }

  void placementIsRestoredWhenOnScreen() {
    SavePlacement(QRect(30, 40, 1000, 800));
    auto window = MakeWindow();
    QCOMPARE(window->size(), QSize(1000, 800));
    window.reset();
    // Far off every screen: not applied, the window keeps its initial size.
    SavePlacement(QRect(-40000, -40000, 1100, 900));
    window = MakeWindow();
    QVERIFY(window->size() != QSize(1100, 900));
  }

  void unchangedWindowOpensAgainExactlyAsItWas() {
    auto window = MakeWindow();
    window->move(60, 70);
    window->resize(900, 700);
    // The platform gives the window a frame, so a frame saved and restored as the client grows.
    QTRY_VERIFY(window->frameGeometry().size() != window->size());
    const QRect first = window->Placement();
    QVERIFY(window->close());
    for (int start = 0; start < 3; ++start) {
      window = MakeWindow();
      QCOMPARE(window->Placement(), first);
      QCOMPARE(window->size(), QSize(900, 700));
      QVERIFY(window->close());
      QCOMPARE(StoredPlacement(), std::optional<QRect>(first));
    }
  }

  void windowFitsASmallScreen() {
    auto window = MakeWindow();
    // What a 1024x768 screen leaves to the client area beside a panel and under a title bar.
    const QSize smallScreen(1000, 700);
    const QSize smallest = window->minimumSizeHint().expandedTo(window->minimumSize());
    QVERIFY2(smallest.width() <= smallScreen.width() && smallest.height() <= smallScreen.height(),
             qPrintable(QStringLiteral("%1x%2").arg(smallest.width()).arg(smallest.height())));
    // A first start opens within the screen (offscreen: 800x600) as far as the layout allows.
    const QSize room = QGuiApplication::primaryScreen()->availableGeometry().size();
    QVERIFY(window->height() <= std::max(room.height(), smallest.height()));

    // There the converter's list still shows more than five rows, and its columns share the width.
    window->SwitchPage(Page::Convert);
    window->resize(smallScreen);
    QTRY_COMPARE(window->ConvertPage()->size().width() > 0, true);
    QApplication::sendPostedEvents();
    QTableView* list = window->ConvertPage()->ListView();
    QTRY_VERIFY2(list->viewport()->height() > 5 * list->verticalHeader()->defaultSectionSize(),
                 qPrintable(QString::number(list->viewport()->height())));
    int columns = 0;
    for (int column = 0; column < list->model()->columnCount(); ++column) columns += list->columnWidth(column);
    QVERIFY2(columns >= list->viewport()->width() - 4,
             qPrintable(QStringLiteral("%1 of %2").arg(columns).arg(list->viewport()->width())));
  }

  void titlesReadExactlyAsTheirTexts() {
    SetUpGuiApplication();
    auto window = MakeWindow();
    QCOMPARE(window->windowTitle(), QStringLiteral("Corvane v5.0"));
    // A display name would be appended to every title by the window system.
    QCOMPARE(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
    QVERIFY(!window->windowIcon().isNull());
    QVERIFY(!QApplication::windowIcon().isNull());
    // What the pages told at start-up (a machine without a CD drive) is not this box.
    dismissed_titles_.clear();
    ui_.ShowMessage(QStringLiteral("hello"), MessageIcon::Information, MessageButtons::Ok);
    QCOMPARE(dismissed_titles_, QStringList({QStringLiteral("Corvane")}));
  }

  void aQuestionDuringAJobGetsTheNormalCursorAndTheWaitCursorNeverStays() {
    {
      const WaitCursor outer(ui_);
      const WaitCursor inner(ui_);
      QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
      ui_.ShowMessage(QStringLiteral("Failed"), MessageIcon::Error, MessageButtons::Ok);
      QCOMPARE(dismissed_cursors_, QList<int>{Qt::ArrowCursor});
      QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    ui_.ShowMessage(QStringLiteral("Idle"), MessageIcon::Information, MessageButtons::Ok);
    QCOMPARE(dismissed_cursors_, QList<int>({Qt::ArrowCursor, -1}));
  }

  void aboutDialogClosesWithEscape() {
    auto window = MakeWindow();
    QString title;
    bool closedByEscape = false;
    QTimer::singleShot(0, window.get(), [&] {
      auto* dialog = window->findChild<QDialog*>(QStringLiteral("aboutDialog"));
      if (dialog == nullptr) return;
      title = dialog->windowTitle();
      QWidget* focus = dialog->focusWidget() != nullptr ? dialog->focusWidget() : dialog->findChild<CAboutPage*>();
      QTest::keyClick(focus, Qt::Key_Escape);
      closedByEscape = !dialog->isVisible();
      if (!closedByEscape) dialog->reject();
    });
    window->ShowAboutDialog();
    QCOMPARE(title, QStringLiteral("About Corvane"));
    QVERIFY(closedByEscape);
    // The page inside the main window still swallows it.
    QTest::keyClick(window->AboutPage(), Qt::Key_Escape);
    QVERIFY(window->isVisible());
  }

  void helpOpensTheManualOrSaysWhyNot() {
    const QString programFolder = QStringLiteral(CORVANE_BIN_DIR);
    const QString manual = HelpManualPath(programFolder);
    QVERIFY2(test::ReadAll(manual).contains("<html"), qPrintable(manual));

    test::ScriptedUserInterface scripted;
    FileSettings settings;
    CAboutPage page(scripted, settings);
    page.SetProgramFolder(programFolder);
    QTest::keyClick(&page, Qt::Key_F1);
    QCOMPARE(scripted.opened_paths, QStringList{manual});
    QVERIFY(scripted.messages.empty());

    // No browser or opener: the help button says so.
    scripted.opener_available = false;
    QTest::mouseClick(page.findChild<QPushButton*>(QStringLiteral("helpButton")), Qt::LeftButton);
    QCOMPARE(scripted.MessageTexts().size(), 1);
    QVERIFY(scripted.MessageTexts().front().startsWith(QStringLiteral("Could not open '%1'").arg(manual)));

    // A program folder without the manual beside it.
    page.SetProgramFolder(settings_->Folder());
    QTest::keyClick(&page, Qt::Key_F1);
    QCOMPARE(scripted.MessageTexts().size(), 2);
    QVERIFY(scripted.MessageTexts().back().startsWith(QStringLiteral("The manual was not found at")));
  }

  void f1OpensHelpFromEveryPage() {
    auto window = MakeWindow();
    // The offscreen platform opens nothing, so each press ends in the message about it.
    for (QWidget* page : {static_cast<QWidget*>(window->RipperPage()), static_cast<QWidget*>(window->ConvertPage())}) {
      dismissed_.clear();
      window->SwitchPage(page == window->RipperPage() ? Page::Ripper : Page::Convert);
      QTest::keyClick(page, Qt::Key_F1);
      QTRY_COMPARE(dismissed_.size(), 1);
      QVERIFY2(dismissed_.front().contains(QStringLiteral("manual/index.html")), qPrintable(dismissed_.front()));
    }
  }

  void aboutPageSummariesAndMenu() {
    FileSettings().WriteNumber(keys::section::kRip, keys::kGrabModePreset, 9);
    auto window = MakeWindow();
    CAboutPage* about = window->AboutPage();
    QVERIFY(about->RipperSummary().startsWith(QStringLiteral("Grab Mode: \n  Precision grab mode\n")));
    QVERIFY(about->ConverterSummary().contains(QStringLiteral("Last opened folder")));
    for (int page = 1; page <= 3; ++page) QVERIFY(!window->PageButton(page)->icon().isNull());
    for (const char* name : {"helpButton", "settingsButton"}) {
      QVERIFY(!about->findChild<QPushButton*>(QString::fromLatin1(name))->icon().isNull());
    }
    for (const auto dialog : {CAboutPage::SettingsDialog::Converter, CAboutPage::SettingsDialog::Ripper,
                              CAboutPage::SettingsDialog::Freedb}) {
      QVERIFY(!about->MenuAction(dialog)->icon().isNull());
    }
    auto* version = about->findChild<QLabel*>(QStringLiteral("versionLabel"));
    QVERIFY(version);
    QCOMPARE(version->text(), QStringLiteral("Version: 5.01 Build 1"));
    for (auto dialog : {CAboutPage::SettingsDialog::Converter, CAboutPage::SettingsDialog::Ripper,
                        CAboutPage::SettingsDialog::Freedb})
      QVERIFY(about->MenuAction(dialog)->isEnabled());

    // A dialog confirmed with OK rebuilds the summary from the store; one cancelled does not.
    bool confirm = false;
    about->SetDialogOpener(CAboutPage::SettingsDialog::Converter, [&confirm](QWidget*) {
      FileSettings().WriteNumber(keys::section::kConvert, keys::kAutoOpenFolder, 1);
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

  void ripperAndFreedbDialogsFromTheSettingsMenu() {
    auto window = MakeWindow();
    CAboutPage* about = window->AboutPage();
    // The real dialogs open modally; the answerer picks a mode and confirms or cancels.
    bool confirm = false;
    QStringList opened;
    test::DialogAnswerer answerer(
        [&](QDialog& dialog) {
          if (auto* rip = qobject_cast<CRipSettings*>(&dialog)) {
            rip->GrabModeGroup()->button(0)->click();
            rip->ErrorActionGroup()->button(0)->click();
          } else if (auto* freedb = qobject_cast<CFreeDBSettings*>(&dialog)) {
            freedb->ServerBox()->setCurrentIndex(1);  // vgmdb.net, the second place of the list
          } else {
            return;
          }
          opened << dialog.windowTitle();
          confirm ? dialog.accept() : dialog.reject();
        },
        50);
    QAction* ripper = about->MenuAction(CAboutPage::SettingsDialog::Ripper);
    const QString before = about->RipperSummary();
    QVERIFY(before.startsWith(QStringLiteral("Grab Mode: \n  Precision grab mode\n")));
    ripper->trigger();
    QCOMPARE(about->RipperSummary(), before);
    QCOMPARE(FileSettings().ReadNumber(keys::section::kRip, keys::kGrabModePreset, -77),
             2);  // written as the default on opening
    confirm = true;
    ripper->trigger();
    QVERIFY(about->RipperSummary().startsWith(QStringLiteral(
        "Grab Mode: \n  Fast grab mode (no error correction)\nAction taken if read errors:\n  Stop grabbing")));
    QCOMPARE(FileSettings().ReadNumber(keys::section::kRip, keys::kGrabModePreset, -77), 1);

    // With or without the ripper page's client (it comes with the drives), the servers are listed.
    about->MenuAction(CAboutPage::SettingsDialog::Freedb)->trigger();
    QCOMPARE(FileSettings().ReadNumber(keys::section::kFreeDb, keys::kServerUrlIndex, -77), 2);
    QCOMPARE(opened, (QStringList{QStringLiteral("Ripper Settings"), QStringLiteral("Ripper Settings"),
                                  QStringLiteral("FreeDB Settings")}));
  }
};

QTEST_MAIN(CAudioConverterDlgTest)
#include "CAudioConverterDlg_test.moc"
