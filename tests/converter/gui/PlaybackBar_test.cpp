// The playback bar under the offscreen platform: its controls, the timer driving playback to
// the end, and the user's slider moves reaching the controller.
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QtTest>

#include "converter/gui/PlaybackBar.h"
#include "engine/CAudioEngine.h"
#include "support/ScriptedUserInterface.h"
#include "support/SourceFixtures.h"

using namespace corvane;

class PlaybackBarTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    QVERIFY(engine_.BindAll().Succeeded());
    QCOMPARE(engine_.OpenOutputDevice(-1, 44100), 1);
    song_ = dir_.filePath(QStringLiteral("song.wav"));
    test::MakeTone(song_, 3.0, 44100, 2);
  }

  void controlsAreSetUp() {
    PlaybackBar bar(engine_, ui_);
    QCOMPARE(bar.Button()->objectName(), QStringLiteral("playButton"));
    QCOMPARE(bar.Button()->text(), QStringLiteral("Play"));
    QCOMPARE(bar.Button()->toolTip(), QStringLiteral("(F2) Play source audio file"));
    QCOMPARE(bar.PositionLabel()->text(), QStringLiteral("0:00:00 / 0:00:00"));
    QSlider* slider = bar.Slider();
    QCOMPARE(slider->orientation(), Qt::Horizontal);
    QCOMPARE(slider->minimum(), 0);
    QCOMPARE(slider->maximum(), 32000);
    QCOMPARE(slider->tickInterval(), 4000);
    QCOMPARE(slider->pageStep(), 400);

    QSignalSpy requests(&bar, &PlaybackBar::playRequested);
    QTest::mouseClick(bar.Button(), Qt::LeftButton);
    QCOMPARE(requests.count(), 1);
    QVERIFY2(!bar.Controller().IsPlaying(), "the bar plays only what the page hands it");
  }

  void timerPlaysToTheEnd() {
    PlaybackBar bar(engine_, ui_);
    bar.show();
    bar.Controller().PlaySelected(PlaybackRowKind::File, song_);
    QVERIFY(bar.Controller().IsPlaying());
    QCOMPARE(bar.Button()->text(), QStringLiteral("Stop"));
    QVERIFY(bar.TimerActive());
    QTRY_VERIFY_WITH_TIMEOUT(bar.Slider()->value() > 0, 60000);
    QTRY_COMPARE_WITH_TIMEOUT(bar.Button()->text(), QStringLiteral("Play"), 60000);
    QCOMPARE(bar.Slider()->value(), 0);
    QVERIFY(!bar.TimerActive());
    QCOMPARE(bar.PositionLabel()->text(), QStringLiteral("0:00:00 / 0:00:03"));
  }

  void userSliderMovesSeek() {
    PlaybackBar bar(engine_, ui_);
    bar.show();
    bar.Controller().PlaySelected(PlaybackRowKind::File, song_);
    QVERIFY(bar.Controller().IsPlaying());
    QSlider* slider = bar.Slider();
    // A drag: the text follows the thumb, the timer leaves it alone, the release seeks.
    slider->setSliderDown(true);
    slider->setSliderPosition(32000);
    QCOMPARE(bar.PositionLabel()->text(), QStringLiteral("0:00:03 / 0:00:03"));
    slider->setSliderPosition(20000);
    // Let the position timer tick a few times while the thumb is held.
    QSignalSpy ticks(bar.findChild<QTimer*>(), &QTimer::timeout);
    QTRY_VERIFY_WITH_TIMEOUT(ticks.count() >= 3, 60000);
    QCOMPARE(slider->sliderPosition(), 20000);
    QVERIFY(bar.Controller().PlayerPositionMs() < 1875);  // not moved to the thumb yet
    slider->setSliderDown(false);
    QCOMPARE(bar.Controller().SavedPosition(), 20000);
    QVERIFY(bar.Controller().PlayerPositionMs() >= 1870);  // 1875 ms, to whole frames

    // A page step through the keyboard seeks too.
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_PageUp);
    QVERIFY2(bar.Controller().SavedPosition() > 20000, qPrintable(QString::number(bar.Controller().SavedPosition())));
    QVERIFY(bar.Controller().PlayerPositionMs() >= 1880);

    bar.Controller().PlaySelected(PlaybackRowKind::File, song_);
    QVERIFY(!bar.Controller().IsPlaying());
    QCOMPARE(bar.Slider()->value(), bar.Controller().SavedPosition());

    // Folder rows hide the slider and turn the button into "Open".
    bar.Controller().UpdateSelection(PlaybackRowKind::Folder, dir_.path());
    QVERIFY(bar.Slider()->isHidden());
    QCOMPARE(bar.Button()->text(), QStringLiteral("Open"));
    QCOMPARE(bar.Button()->toolTip(), QStringLiteral("Open folder"));
    QCOMPARE(bar.Slider()->value(), 0);
  }

 private:
  QTemporaryDir dir_;
  CAudioEngine engine_;
  test::ScriptedUserInterface ui_;
  QString song_;
};

QTEST_MAIN(PlaybackBarTest)
#include "PlaybackBar_test.moc"
