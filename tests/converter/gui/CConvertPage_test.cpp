// The "Audio Convert" page under the offscreen platform, with the real engine, presets and
// windowed user interface: what the run state enables, the page's keys, drops on the list, the
// hand-off at start and a whole conversion started from the page.
#include <QCryptographicHash>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QUrl>
#include <QVBoxLayout>
#include <QtTest>

#include "app/gui/QtUserInterface.h"
#include "common/MemorySettings.h"
#include "common/SettingsKeys.h"
#include "converter/ConversionList.h"
#include "converter/gui/CConvertPage.h"
#include "converter/gui/CCvrtCancelDlg.h"
#include "converter/gui/CCvrtCompleteDlg.h"
#include "converter/gui/ConversionListModel.h"
#include "converter/gui/ConversionListView.h"
#include "converter/gui/PlaybackBar.h"
#include "engine/CAudioEngine.h"
#include "presets/COutputQualityMgmt.h"
#include "support/SourceFixtures.h"
#include "support/gui/DialogAnswerer.h"

using namespace corvane;

namespace {

const char* const kSection = keys::section::kConvert;

QByteArray Checksum(const QString& path) {
  return QCryptographicHash::hash(test::ReadAll(path), QCryptographicHash::Sha256);
}

// Drags `paths` over the list's viewport and drops them there, as the window system does.
bool DropOn(ConversionListView& view, const QStringList& paths) {
  QMimeData mime;
  QList<QUrl> urls;
  for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
  mime.setUrls(urls);
  const QPoint at(20, 20);
  QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(view.viewport(), &enter);
  if (!enter.isAccepted()) return false;
  QDragMoveEvent move(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(view.viewport(), &move);
  QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(view.viewport(), &drop);
  return drop.isAccepted();
}

}  // namespace

class CConvertPageTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> settings_dir_;
  std::unique_ptr<MemorySettings> settings_;
  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<CAudioEngine> engine_;
  std::unique_ptr<COutputQualityMgmt> presets_;
  std::unique_ptr<QtUserInterface> ui_;
  std::unique_ptr<test::DialogAnswerer> answerer_;
  // The host stands in for the main window, which is a dialog that Esc would close.
  std::unique_ptr<QDialog> host_;
  CConvertPage* page_ = nullptr;

  // What the answerer saw, in order ("message: ...", "stop: ...", "completed: ...", "other: <class>").
  // "Stop Convert" is answered with "Stop All".
  QStringList shown_;
  // Buttons for the next message boxes; an empty queue answers Yes, else OK.
  QList<QMessageBox::StandardButton> box_answers_;

  // Answers the message boxes and dialogs that open, so that no test waits on a window nobody
  // sees. Progress windows are left alone: they close by themselves.
  void Answer(QDialog& dialog) {
    if (&dialog == host_.get()) return;
    if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
      shown_ << QStringLiteral("message: ") + box->text();
      QMessageBox::StandardButton answer = box_answers_.isEmpty() ? QMessageBox::NoButton : box_answers_.takeFirst();
      if (answer == QMessageBox::NoButton) answer = box->button(QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok;
      QAbstractButton* button = box->button(answer);
      if (button != nullptr) {
        button->click();
      } else {
        box->reject();
      }
    } else if (auto* stop = qobject_cast<CCvrtCancelDlg*>(&dialog)) {
      shown_ << QStringLiteral("stop: ") + stop->findChild<QLabel*>(QStringLiteral("message"))->text();
      stop->findChild<QPushButton*>(QStringLiteral("button%1").arg(static_cast<int>(StopAnswer::StopAll)))->click();
    } else if (auto* completed = qobject_cast<CCvrtCompleteDlg*>(&dialog)) {
      shown_ << QStringLiteral("completed: ") + completed->findChild<QPlainTextEdit*>()->toPlainText();
      completed->accept();
    } else if (qobject_cast<QProgressDialog*>(&dialog) == nullptr) {
      shown_ << QStringLiteral("other: ") + QString::fromLatin1(dialog.metaObject()->className());
      dialog.reject();
    }
  }

  QStringList Shown(const QString& prefix) const {
    QStringList texts;
    for (const QString& entry : shown_) {
      if (entry.startsWith(prefix)) texts << entry.mid(prefix.size());
    }
    return texts;
  }

  // The page inside the host window, shown and active, so that its keys reach it.
  bool MakePage(HandOffMode launchMode = HandOffMode::None, const QString& launchSource = {}) {
    ConverterPageContext context;
    context.engine = engine_.get();
    context.presets = presets_.get();
    context.ui = ui_.get();
    context.settings = settings_.get();
    context.program_folder = QCoreApplication::applicationDirPath();
    context.launch_mode = launchMode;
    context.launch_source = launchSource;
    host_ = std::make_unique<QDialog>();
    ui_->SetParentWindow(host_.get());
    page_ = new CConvertPage(context, host_.get());
    auto* layout = new QVBoxLayout(host_.get());
    layout->addWidget(page_);
    host_->resize(1000, 760);
    host_->show();
    return ActivateHost();
  }

  // The offscreen platform gives the activation back to no window when a dialog closes, where a
  // window manager would hand it to the main window; the page's shortcuts need it.
  bool ActivateHost() {
    host_->activateWindow();
    return QTest::qWaitForWindowActive(host_.get());
  }

  QString Tone(const QString& name, double seconds = 1.0) {
    const QString path = dir_->filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    test::MakeTone(path, seconds, 44100, 2);
    return path;
  }

  QPushButton* Button(const QString& text) const {
    for (QPushButton* button : page_->findChildren<QPushButton*>()) {
      if (button->text() == text) return button;
    }
    return nullptr;
  }

  // Makes "out" the page's output folder, as the folder chooser would.
  QString UseOutputFolder() {
    const QString out = dir_->filePath(QStringLiteral("out"));
    if (!QDir().mkpath(out)) return {};
    page_->SetOutputFolderField(out);
    settings_->WriteText(kSection, keys::kOutputFolder, out);
    return out;
  }

  QString Cell(int row, ListColumn column) const { return page_->List().Text(row, column); }

  void SelectOnly(int row) {
    page_->List().ClearSelection();
    page_->List().SelectAndFocus(row);
  }

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    // The preset file goes beside the settings, in a folder of its own.
    settings_dir_ = std::make_unique<QTemporaryDir>();
    settings_ = std::make_unique<MemorySettings>(settings_dir_->path());
    engine_ = std::make_unique<CAudioEngine>();
    QVERIFY(engine_->BindAll().Succeeded());
    QCOMPARE(engine_->OpenOutputDevice(-1, 44100), 1);
    ui_ = std::make_unique<QtUserInterface>();
    presets_ = std::make_unique<COutputQualityMgmt>(*settings_);
    QVERIFY(presets_->Load(QString(), *ui_));
    answerer_ = std::make_unique<test::DialogAnswerer>([this](QDialog& dialog) { Answer(dialog); }, 30);
  }

  void cleanup() {
    host_.reset();
    page_ = nullptr;
    answerer_.reset();
    shown_.clear();
    box_answers_.clear();
    presets_.reset();
    ui_.reset();
    engine_.reset();
    settings_.reset();
    settings_dir_.reset();
    dir_.reset();
  }

  void runningStateDisablesAddingAndRemoving() {
    QVERIFY(MakePage());
    const QStringList names = {QStringLiteral("Add Files..."), QStringLiteral("Add Folder..."),
                               QStringLiteral("Remove"), QStringLiteral("Remove All")};
    for (const QString& name : names) {
      QVERIFY2(Button(name) != nullptr, qPrintable(name));
      QVERIFY(Button(name)->isEnabled());
    }
    QCOMPARE(page_->StartButton()->text(), QStringLiteral("Start &Convert"));
    QVERIFY(page_->List().AddPath(Tone(QStringLiteral("a.wav"))) >= 0);

    page_->SetRunning(true);
    QVERIFY(page_->JobRunning());
    for (const QString& name : names) QVERIFY2(!Button(name)->isEnabled(), qPrintable(name));
    QCOMPARE(page_->StartButton()->text(), QStringLiteral("Stop &Convert"));
    // Neither the keys nor a drop change the rows while a run walks them.
    page_->ListView()->setFocus();
    QTest::keyClick(page_->ListView(), Qt::Key_A, Qt::AltModifier);
    QTest::keyClick(page_->ListView(), Qt::Key_Delete);
    QVERIFY(DropOn(*page_->ListView(), {Tone(QStringLiteral("b.wav"))}));
    QCOMPARE(page_->List().Count(), 1);
    QVERIFY(Shown(QStringLiteral("message: ")).isEmpty());

    page_->SetRunning(false);
    QVERIFY(!page_->JobRunning());
    for (const QString& name : names) QVERIFY2(Button(name)->isEnabled(), qPrintable(name));
    QCOMPARE(page_->StartButton()->text(), QStringLiteral("Start &Convert"));
  }

  void sameFolderAndNormaliseBoxesEnableTheirFields() {
    QVERIFY(MakePage());
    QCheckBox* same = page_->SameFolderBox();
    QCOMPARE(same->text(), QStringLiteral("&Same folder as original"));
    QVERIFY(!same->isChecked());
    QCOMPARE(settings_->ReadNumber(kSection, keys::kSameFolderAsOriginal, -1), 0);  // written at creation
    QPushButton* browse = Button(QStringLiteral("..."));
    QVERIFY(browse != nullptr);
    QCOMPARE(browse->toolTip(), QStringLiteral("(ALT-D) Select the output folder of conversion"));
    QVERIFY(page_->OutputFolderField()->isEnabled());
    QVERIFY(browse->isEnabled());

    QTest::mouseClick(same, Qt::LeftButton);
    QVERIFY(same->isChecked());
    QVERIFY(!page_->OutputFolderField()->isEnabled());
    QVERIFY(!browse->isEnabled());
    QCOMPARE(settings_->ReadNumber(kSection, keys::kSameFolderAsOriginal, -1), 1);
    QVERIFY(page_->SameFolder());

    QTest::mouseClick(same, Qt::LeftButton);
    QVERIFY(page_->OutputFolderField()->isEnabled());
    QVERIFY(browse->isEnabled());
    QCOMPARE(settings_->ReadNumber(kSection, keys::kSameFolderAsOriginal, -1), 0);

    auto* normalize = page_->findChild<QCheckBox*>(QStringLiteral("normalizeCheck"));
    auto* percent = page_->findChild<QSpinBox*>(QStringLiteral("normalizePercent"));
    QVERIFY(normalize != nullptr && percent != nullptr);
    QVERIFY(!normalize->isChecked());
    QVERIFY(!percent->isEnabled());
    QTest::mouseClick(normalize, Qt::LeftButton);
    QVERIFY(percent->isEnabled());
    QVERIFY(page_->NormalizeEnabled());
    percent->setValue(80);
    QCOMPARE(page_->NormalizeValue(), 80);
    QTest::mouseClick(normalize, Qt::LeftButton);
    QVERIFY(!percent->isEnabled());
    QVERIFY(!page_->NormalizeEnabled());
  }

  void deleteRemovesSelectedRowsOnlyFromTheList() {
    QVERIFY(MakePage());
    const QString tone = Tone(QStringLiteral("t.wav"));
    for (const char* name : {"1.wav", "2.wav", "3.wav"}) {
      QVERIFY(QFile::copy(tone, dir_->filePath(QString::fromLatin1(name))));
      QVERIFY(page_->List().AddPath(dir_->filePath(QString::fromLatin1(name))) >= 0);
    }
    SelectOnly(1);
    // Delete elsewhere on the page leaves the rows alone.
    page_->OutputFolderField()->setFocus();
    QTest::keyClick(page_->OutputFolderField(), Qt::Key_Delete);
    QCOMPARE(page_->List().Count(), 3);

    page_->ListView()->setFocus();
    QTest::keyClick(page_->ListView(), Qt::Key_Delete);
    QCOMPARE(page_->List().Count(), 2);
    QCOMPARE(Cell(0, ListColumn::Name), QStringLiteral("1.wav"));
    QCOMPARE(Cell(1, ListColumn::Name), QStringLiteral("3.wav"));
    QCOMPARE(Cell(1, ListColumn::Number), QStringLiteral("02"));
    QCOMPARE(page_->ListView()->ListModel()->rowCount(), 2);
    QVERIFY(Shown(QStringLiteral("message: ")).isEmpty());
  }

  void altAAsksBeforeRemovingAll() {
    QVERIFY(MakePage());
    QVERIFY(page_->List().AddPath(Tone(QStringLiteral("a.wav"))) >= 0);
    QVERIFY(page_->List().AddPath(Tone(QStringLiteral("b.wav"))) >= 0);
    page_->ListView()->setFocus();

    box_answers_ = {QMessageBox::No};
    QTest::keyClick(page_->ListView(), Qt::Key_A, Qt::AltModifier);
    QCOMPARE(Shown(QStringLiteral("message: ")), QStringList({QStringLiteral("Are you sure to remove all items?")}));
    QCOMPARE(page_->List().Count(), 2);
    QVERIFY(ActivateHost());

    box_answers_ = {QMessageBox::Yes};
    QTest::keyClick(page_->ListView(), Qt::Key_A, Qt::AltModifier);
    QCOMPARE(Shown(QStringLiteral("message: ")).size(), 2);
    QCOMPARE(page_->List().Count(), 0);
    QCOMPARE(page_->ListView()->ListModel()->rowCount(), 0);
    QVERIFY(page_->findChild<QLabel*>(QStringLiteral("informationLine"))->text().isEmpty());
  }

  void f2PlaysAndStopsTheSelectedFile() {
    QVERIFY(MakePage());
    const QString song = Tone(QStringLiteral("song.wav"), 2.0);
    QVERIFY(page_->List().AddPath(song) >= 0);
    SelectOnly(0);
    PlaybackBar* bar = page_->Playback();
    QCOMPARE(bar->Button()->text(), QStringLiteral("Play"));

    page_->ListView()->setFocus();
    QTest::keyClick(page_->ListView(), Qt::Key_F2);
    QCOMPARE(bar->Button()->text(), QStringLiteral("Stop"));
    QVERIFY(bar->Controller().IsPlaying());
    QCOMPARE(bar->Controller().LoadedPath(), song);
    QTest::keyClick(page_->ListView(), Qt::Key_F2);
    QCOMPARE(bar->Button()->text(), QStringLiteral("Play"));
    QVERIFY(!bar->Controller().IsPlaying());

    // Removing the playing row stops playback.
    QTest::keyClick(page_->ListView(), Qt::Key_F2);
    QVERIFY(bar->Controller().IsPlaying());
    QTest::keyClick(page_->ListView(), Qt::Key_Delete);
    QVERIFY(!bar->Controller().IsPlaying());
    QCOMPARE(bar->Button()->text(), QStringLiteral("Play"));
    QVERIFY(Shown(QStringLiteral("message: ")).isEmpty());
  }

  void escapeIsSwallowedAndF9AsksForTheNextPage() {
    QVERIFY(MakePage());
    QVERIFY(page_->List().AddPath(Tone(QStringLiteral("a.wav"))) >= 0);
    QSignalSpy cycle(page_, &PageWidget::cycleRequested);
    page_->ListView()->setFocus();
    QTest::keyClick(page_->ListView(), Qt::Key_Escape);
    QTest::keyClick(page_->OutputFolderField(), Qt::Key_Escape);
    QTest::keyClick(page_, Qt::Key_Escape);
    QVERIFY(host_->isVisible());
    QCOMPARE(host_->result(), 0);
    QCOMPARE(page_->List().Count(), 1);

    QTest::keyClick(page_->ListView(), Qt::Key_F9);
    QCOMPARE(cycle.count(), 1);
    QTest::keyClick(page_->StartButton(), Qt::Key_F9);
    QCOMPARE(cycle.count(), 2);
    QVERIFY(shown_.isEmpty());
  }

  void altKeysOpenTheirDialogsAndStart() {
    QVERIFY(MakePage());
    page_->ListView()->setFocus();
    // Alt+O: the add-files dialog (cancelled).
    QTest::keyClick(page_->ListView(), Qt::Key_O, Qt::AltModifier);
    QCOMPARE(shown_, QStringList({QStringLiteral("other: QFileDialog")}));
    QVERIFY(ActivateHost());
    // Alt+D: the output folder chooser (cancelled: the field stays empty).
    QTest::keyClick(page_->ListView(), Qt::Key_D, Qt::AltModifier);
    QCOMPARE(shown_.size(), 2);
    QCOMPARE(shown_.back(), QStringLiteral("other: QFileDialog"));
    QVERIFY(page_->OutputFolderField()->text().isEmpty());
    QVERIFY(ActivateHost());
    // Alt+C on an empty list: the request for files, then the add-files dialog.
    QTest::keyClick(page_->ListView(), Qt::Key_C, Qt::AltModifier);
    QTRY_COMPARE_WITH_TIMEOUT(shown_.mid(2),
                              QStringList({QStringLiteral("message: Please select audio file(s) to convert !"),
                                           QStringLiteral("other: QFileDialog")}),
                              60000);
    QVERIFY(!page_->JobRunning());
  }

  void droppedFileAndFolderBecomeRows() {
    QVERIFY(MakePage());
    const QString song = Tone(QStringLiteral("song.wav"));
    const QString album = dir_->filePath(QStringLiteral("Album"));
    QVERIFY(!Tone(QStringLiteral("Album/c.wav")).isEmpty());
    page_->OutputFolderField()->setFocus();

    QVERIFY(DropOn(*page_->ListView(), {song}));
    QCOMPARE(page_->List().Count(), 1);
    QCOMPARE(Cell(0, ListColumn::Name), QStringLiteral("song.wav"));
    QCOMPARE(Cell(0, ListColumn::Status), QStringLiteral("Loaded"));
    QCOMPARE(Cell(0, ListColumn::Length), QStringLiteral("0:00:01"));
    QCOMPARE(Cell(0, ListColumn::AudioInfo), QStringLiteral("WAV, 44100Hz, 16 bit, Stereo"));
    QCOMPARE(page_->ListView()->ListModel()->index(0, 4).data().toString(), QStringLiteral("Loaded"));
    // The drop hands the focus to the list and describes the new row.
    QCOMPARE(host_->focusWidget(), page_->ListView());
    QCOMPARE(page_->findChild<QLabel*>(QStringLiteral("informationLine"))->text(),
             QStringLiteral("# 01/01 [song.wav]: WAV, 44100Hz, 16 bit, Stereo"));

    QVERIFY(DropOn(*page_->ListView(), {album}));
    QCOMPARE(page_->List().Count(), 2);
    QCOMPARE(Cell(1, ListColumn::Name), QStringLiteral("Album"));
    QCOMPARE(Cell(1, ListColumn::Status), QStringLiteral("Folder"));
    QCOMPARE(Cell(1, ListColumn::Length), QStringLiteral("n/a"));
    QVERIFY(page_->List().Row(1).IsFolder());
    QCOMPARE(QDir::cleanPath(page_->List().Row(1).SourcePath()), QDir::cleanPath(album));

    // The same file dropped again adds nothing.
    QVERIFY(DropOn(*page_->ListView(), {song}));
    QCOMPARE(page_->List().Count(), 2);
    QVERIFY(Shown(QStringLiteral("message: ")).isEmpty());
  }

  void handOffOfOneFile() {
    const QString song = Tone(QStringLiteral("song.wav"));
    QVERIFY(MakePage(HandOffMode::SingleFile, song));
    QCOMPARE(page_->List().Count(), 1);
    QCOMPARE(page_->List().Row(0).SourcePath(), song);
    QCOMPARE(Cell(0, ListColumn::Status), QStringLiteral("Loaded"));
  }

  void handOffListIsReadAndKept_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("kept");
    QTest::newRow("list") << 2 << true;
    QTest::newRow("list, then deleted") << 3 << false;
  }
  void handOffListIsReadAndKept() {
    QFETCH(int, mode);
    QFETCH(bool, kept);
    const QString a = Tone(QStringLiteral("in/a.wav"));
    const QString b = Tone(QStringLiteral("in/b c.wav"));
    const QString listFile = dir_->filePath(QStringLiteral("handoff.ini"));
    const QString text =
        QStringLiteral("[FileTotal]\nTotal=2\n[FileNameItem_01]\nNAME=%1\n[FileNameItem_02]\nNAME=%2\n").arg(a, b);
    QVERIFY(test::WriteAll(listFile, text.toUtf8()));
    QVERIFY(MakePage(static_cast<HandOffMode>(mode), listFile));
    QCOMPARE(page_->List().Count(), 2);
    QCOMPARE(page_->List().Row(0).SourcePath(), a);
    QCOMPARE(page_->List().Row(1).SourcePath(), b);
    QCOMPARE(Cell(1, ListColumn::Number), QStringLiteral("02"));
    QCOMPARE(QFile::exists(listFile), kept);
    QVERIFY(Shown(QStringLiteral("message: ")).isEmpty());
  }

  void altCStopsTheRunningConversion() {
    QVERIFY(MakePage());
    const QString first = Tone(QStringLiteral("long.wav"), 6.0);
    const QString second = Tone(QStringLiteral("short.wav"));
    const QByteArray firstSum = Checksum(first);
    const QByteArray secondSum = Checksum(second);
    const QString out = UseOutputFolder();
    QVERIFY(!out.isEmpty());
    QVERIFY(page_->List().AddPath(first) >= 0);
    QVERIFY(page_->List().AddPath(second) >= 0);

    // Once the first block is encoded the user presses Alt+C; the button follows its mnemonic
    // with an animated click, and the next stop check asks.
    bool pressed = false;
    bool clicked = false;
    QString lineWhileRunning;
    QSignalSpy clicks(page_->StartButton(), &QAbstractButton::clicked);
    ui_->SetProgressSink([&](int percent) {
      page_->SetProgress(percent);
      if (pressed || percent == 0) return;
      pressed = true;
      lineWhileRunning = page_->StatusLine();
      QTest::keyClick(page_->ListView(), Qt::Key_C, Qt::AltModifier);
      clicked = clicks.wait(30000);
    });
    page_->StartOrStop();

    QVERIFY(pressed);
    QVERIFY2(clicked, "Alt+C did not reach the stop button");
    QCOMPARE(lineWhileRunning, QStringLiteral("Converting in progress, please wait..."));
    QCOMPARE(Shown(QStringLiteral("stop: ")),
             QStringList({QStringLiteral("Are you sure to stop the conversion of current file?")}));
    QCOMPARE(Cell(0, ListColumn::Status), QStringLiteral("Cancelled"));
    QCOMPARE(Cell(1, ListColumn::Status), QStringLiteral("Cancelled"));
    QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden), QStringList());
    const QStringList completed = Shown(QStringLiteral("completed: "));
    QCOMPARE(completed.size(), 1);
    QVERIFY2(completed.front().startsWith(QStringLiteral("0 files converted (success 0, failure 0)")),
             qPrintable(completed.front()));
    QCOMPARE(page_->StatusLine(), QStringLiteral("Idle"));
    QCOMPARE(page_->StartButton()->text(), QStringLiteral("Start &Convert"));
    QCOMPARE(Checksum(first), firstSum);
    QCOMPARE(Checksum(second), secondSum);
  }

  void wholeRunFromThePage() {
    QVERIFY(MakePage());
    const QString source = Tone(QStringLiteral("tone.wav"));
    const QByteArray before = Checksum(source);
    const QString out = UseOutputFolder();
    QVERIFY(!out.isEmpty());
    QVERIFY(page_->List().AddPath(source) >= 0);
    QStringList outputTexts;
    ui_->SetStatusSink([&outputTexts](int pane, const QString& text) {
      if (pane == 1) outputTexts << text;
    });

    page_->StartOrStop();

    const QString output = QDir(out).filePath(QStringLiteral("tone.MP3"));
    // The status bar names the file being written by its own name, never by the temporary one
    // it is written under; after the run it shows the selected row's output again.
    const QString shown = QStringLiteral("Output - ") + output;
    QVERIFY2(outputTexts.contains(shown), qPrintable(outputTexts.join(QLatin1Char('|'))));
    for (const QString& text : outputTexts) {
      QVERIFY2(text == shown || text == QStringLiteral("Output - "), qPrintable(text));
    }
    QCOMPARE(outputTexts.back(), shown);
    QVERIFY2(QFile::exists(output), qPrintable(QDir(out).entryList().join(QLatin1Char(' '))));
    QCOMPARE(QDir(out).entryList(QDir::Files), QStringList({QStringLiteral("tone.MP3")}));
    const QByteArray pcm = test::DecodeWithFfmpeg(output);
    // One second of 16-bit stereo at 44100 Hz, give or take the encoder's padding.
    QVERIFY2(pcm.size() > 44100 * 4 * 9 / 10 && pcm.size() < 44100 * 4 * 12 / 10,
             qPrintable(QString::number(pcm.size())));
    const double seconds = test::ProbeDuration(output);
    QVERIFY2(seconds > 0.9 && seconds < 1.2, qPrintable(QString::number(seconds)));

    QCOMPARE(Cell(0, ListColumn::Status), QStringLiteral("Completed"));
    QCOMPARE(page_->StatusLine(), QStringLiteral("Idle"));
    QVERIFY(page_->DetailLine().isEmpty());
    QVERIFY(!page_->JobRunning());
    QCOMPARE(page_->StartButton()->text(), QStringLiteral("Start &Convert"));
    QVERIFY(Button(QStringLiteral("Remove All"))->isEnabled());
    QCOMPARE(Checksum(source), before);

    const QStringList completed = Shown(QStringLiteral("completed: "));
    QCOMPARE(completed.size(), 1);
    QVERIFY2(completed.front().startsWith(
                 QStringLiteral("1 files converted (success 1, failure 0), saved to '%1'").arg(out)),
             qPrintable(completed.front()));
    QVERIFY2(Shown(QStringLiteral("message: ")).isEmpty(), qPrintable(shown_.join(QLatin1Char('|'))));
    QCOMPARE(settings_->ReadText(kSection, keys::kLastOutputFolder), out);
  }

  void folderRowWhoseOutputFolderCannotBeMadeFails() {
    QVERIFY(MakePage());
    QVERIFY(!Tone(QStringLiteral("Album/a.wav")).isEmpty());
    // The output folder lies below a plain file, so no folder can be made there.
    const QString blocker = dir_->filePath(QStringLiteral("blocker"));
    QVERIFY(test::WriteAll(blocker, "not a folder"));
    page_->SetOutputFolderField(blocker + QStringLiteral("/out"));
    QVERIFY(page_->List().AddPath(dir_->filePath(QStringLiteral("Album"))) >= 0);

    page_->StartOrStop();

    const QString status = Cell(0, ListColumn::Status);
    QVERIFY2(status.startsWith(QStringLiteral("Failed (Unable to create '%1/out/Album").arg(blocker)),
             qPrintable(status));
    const QStringList messages = Shown(QStringLiteral("message: "));
    QVERIFY2(messages.size() == 2, qPrintable(messages.join(QLatin1Char('|'))));
    QVERIFY(messages[0].startsWith(QStringLiteral("Failed to create the directory below:")));
    QVERIFY(messages[1].startsWith(QStringLiteral("1 file failed in the conversion.")));
    const QStringList completed = Shown(QStringLiteral("completed: "));
    QCOMPARE(completed.size(), 1);
    QVERIFY2(completed.front().startsWith(QStringLiteral("1 files converted (success 0, failure 1)")),
             qPrintable(completed.front()));
    QCOMPARE(page_->StatusLine(), QStringLiteral("Idle"));
  }

  void positionTextFollowsTheSelectedRow() {
    QVERIFY(MakePage());
    QLabel* position = page_->Playback()->PositionLabel();
    QCOMPARE(position->text(), QStringLiteral("0:00:00 / 0:00:00"));
    QVERIFY(page_->List().AddPath(Tone(QStringLiteral("long.wav"), 3.0)) >= 0);
    QVERIFY(page_->List().AddPath(Tone(QStringLiteral("short.wav"), 1.0)) >= 0);
    SelectOnly(0);
    page_->RunSelectionUpdate();
    QCOMPARE(position->text(), QStringLiteral("0:00:00 / 0:00:03"));
    SelectOnly(1);
    page_->RunSelectionUpdate();
    QCOMPARE(position->text(), QStringLiteral("0:00:00 / 0:00:01"));

    // Played, stopped and removed: its length goes with it.
    page_->ListView()->setFocus();
    QTest::keyClick(page_->ListView(), Qt::Key_F2);
    QVERIFY(page_->Playback()->Controller().IsPlaying());
    QTest::keyClick(page_->ListView(), Qt::Key_F2);
    QTest::keyClick(page_->ListView(), Qt::Key_Delete);
    QCOMPARE(page_->List().Count(), 1);
    page_->List().ClearSelection();
    page_->RunSelectionUpdate();
    QCOMPARE(position->text(), QStringLiteral("0:00:00 / 0:00:00"));
    SelectOnly(0);
    page_->RunSelectionUpdate();
    QCOMPARE(position->text(), QStringLiteral("0:00:00 / 0:00:03"));
    QVERIFY(Shown(QStringLiteral("message: ")).isEmpty());
  }
};

QTEST_MAIN(CConvertPageTest)
#include "CConvertPage_test.moc"
