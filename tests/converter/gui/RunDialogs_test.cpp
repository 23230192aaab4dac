// The three dialogs of a run: their answers, the defaults and Esc.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "converter/gui/CConfirmOverwriteDlg.h"
#include "converter/gui/CCvrtCancelDlg.h"
#include "converter/gui/CCvrtCompleteDlg.h"

using namespace corvane;

namespace {

template <typename Dialog>
void ClickLater(Dialog& dialog, const char* name) {
  QTimer::singleShot(0, &dialog, [&dialog, name] {
    QTest::mouseClick(dialog.template findChild<QPushButton*>(QString::fromLatin1(name)), Qt::LeftButton);
  });
}

}  // namespace

class RunDialogsTest : public QObject {
  Q_OBJECT
 private slots:
  void stopDialogAnswers() {
    const std::pair<const char*, StopAnswer> cases[] = {
        {"button1", StopAnswer::StopThis}, {"button0", StopAnswer::Continue}, {"button2", StopAnswer::StopAll}};
    for (const auto& [button, expected] : cases) {
      CCvrtCancelDlg dialog(QStringLiteral("Are you sure?"));
      ClickLater(dialog, button);
      dialog.exec();
      QCOMPARE(dialog.Answer(), expected);
    }
    CCvrtCancelDlg dialog(QStringLiteral("Are you sure?"));
    QTimer::singleShot(0, &dialog, [&dialog] { QTest::keyClick(&dialog, Qt::Key_Escape); });
    dialog.exec();
    QCOMPARE(dialog.Answer(), StopAnswer::Continue);
  }

  void overwriteEscapeSkips() {
    CConfirmOverwriteDlg dialog(QStringLiteral("x exists"), QStringLiteral("/tmp/x.MP3"));
    QTimer::singleShot(0, &dialog, [&dialog] { QTest::keyClick(&dialog, Qt::Key_Escape); });
    dialog.exec();
    QCOMPARE(dialog.Reply().choice, OverwriteReply::Choice::Skip);
  }

  void overwriteAllAndDontAsk() {
    CConfirmOverwriteDlg dialog(QStringLiteral("x exists"), QStringLiteral("/tmp/x.MP3"));
    dialog.findChild<QCheckBox*>()->setChecked(false);
    for (QCheckBox* box : dialog.findChildren<QCheckBox*>()) {
      if (box != dialog.OtherNameBox()) box->setChecked(true);
    }
    ClickLater(dialog, "overwriteAll");
    dialog.exec();
    QCOMPARE(dialog.Reply().choice, OverwriteReply::Choice::OverwriteAll);
    QVERIFY(dialog.Reply().dont_ask_again);
    QVERIFY(!dialog.Reply().use_other_name);
  }

  void otherNameOpensTheChooserAtOnceAndOverwritesUnderIt() {
    CConfirmOverwriteDlg dialog(QStringLiteral("x exists"), QStringLiteral("/tmp/x.MP3"));
    QString offered;
    dialog.SetNameChooser([&offered](QWidget*, const QString& current) {
      offered = current;
      return QStringLiteral("/tmp/other.MP3");
    });
    QTimer::singleShot(0, &dialog, [&dialog] { dialog.OtherNameBox()->click(); });
    dialog.exec();
    QCOMPARE(offered, QStringLiteral("/tmp/x.MP3"));
    QCOMPARE(dialog.Reply().choice, OverwriteReply::Choice::Overwrite);
    QVERIFY(dialog.Reply().use_other_name);
    QCOMPARE(dialog.Reply().other_name, QStringLiteral("/tmp/other.MP3"));
  }

  void cancelledChooserKeepsTheDialogAndUncheckingRestoresOverwriteAll() {
    CConfirmOverwriteDlg dialog(QStringLiteral("x exists"), QStringLiteral("/tmp/x.MP3"));
    dialog.SetNameChooser([](QWidget*, const QString&) { return QString(); });
    dialog.show();
    QVERIFY(dialog.OverwriteAllButton()->isEnabled());
    QVERIFY(!dialog.BrowseButton()->isEnabled());
    dialog.OtherNameBox()->click();
    QVERIFY(dialog.isVisible());
    QVERIFY(!dialog.OverwriteAllButton()->isEnabled());
    QVERIFY(dialog.BrowseButton()->isEnabled());
    dialog.OtherNameBox()->click();
    QVERIFY(dialog.OverwriteAllButton()->isEnabled());
    QVERIFY(!dialog.BrowseButton()->isEnabled());
  }

  void completedDialogFlags() {
    CCvrtCompleteDlg sameFolder(QStringLiteral("Done"), QStringLiteral("1 files converted"), 0, false);
    QVERIFY(!sameFolder.findChild<QPushButton*>(QStringLiteral("openFolder"))->isEnabled());

    CCvrtCompleteDlg dialog(QStringLiteral("Done"), QStringLiteral("1 files converted"), 0, true);
    dialog.findChild<QCheckBox*>()->setChecked(true);
    ClickLater(dialog, "openFolder");
    dialog.exec();
    QVERIFY(dialog.Reply().open_folder);
    QVERIFY(dialog.Reply().dont_show_again);
    QCOMPARE(dialog.findChild<QPlainTextEdit*>(QStringLiteral("summary"))->toPlainText(),
             QStringLiteral("1 files converted"));
  }

  void completedDialogLeadsWithFailures_data() {
    QTest::addColumn<int>("failed");
    QTest::addColumn<QString>("countText");
    QTest::newRow("none") << 0 << QString();
    QTest::newRow("one") << 1 << QStringLiteral("1 file failed");
    QTest::newRow("three") << 3 << QStringLiteral("3 files failed");
  }
  void completedDialogLeadsWithFailures() {
    QFETCH(int, failed);
    QFETCH(QString, countText);
    CCvrtCompleteDlg dialog(QStringLiteral("Not every track was ripped!"), QStringLiteral("4 files converted"), failed,
                            true);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* heading = dialog.findChild<QLabel*>(QStringLiteral("heading"));
    QCOMPARE(heading->text(), QStringLiteral("Not every track was ripped!"));
    auto* count = dialog.findChild<QLabel*>(QStringLiteral("failedCount"));
    auto* icon = dialog.findChild<QLabel*>(QStringLiteral("failureIcon"));
    if (failed == 0) {
      QVERIFY(count == nullptr && icon == nullptr);
      return;
    }
    QVERIFY(count != nullptr && icon != nullptr);
    QCOMPARE(count->text(), countText);
    QVERIFY(!icon->pixmap().isNull());
    // Read first: above the heading, and in a larger bold face.
    QVERIFY(count->mapTo(&dialog, QPoint()).y() + count->height() <= heading->mapTo(&dialog, QPoint()).y());
    QVERIFY(count->font().bold());
  }
};

QTEST_MAIN(RunDialogsTest)
#include "RunDialogs_test.moc"
