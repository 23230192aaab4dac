// The quality panel widget under the offscreen platform: what it shows follows the panel rules,
// and the user's clicks reach the logic and the preset file.
#include "ui/QualityPanelWidget.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QtTest>

#include "common/MemorySettings.h"
#include "common/SettingsKeys.h"
#include "formats/EncoderCapabilities.h"
#include "formats/QualityPanel.h"
#include "presets/COutputQualityMgmt.h"
#include "presets/PresetCommands.h"
#include "support/ScriptedUserInterface.h"

using namespace corvane;

namespace {

// One page's worth of panel: logic, commands and the widget bound to them.
struct Page {
  Page(PanelPage kind, COutputQualityMgmt& presets, const EncoderCapabilities& capabilities,
       test::ScriptedUserInterface& ui, SettingsStore& settings)
      : panel(kind, capabilities, settings), commands(presets, panel, ui, settings), widget(panel, commands) {
    commands.FillPresetList();
  }
  template <typename T>
  T* Find(const char* name) {
    return widget.findChild<T*>(QString::fromLatin1(name));
  }
  QComboBox* Combo(const char* name) { return Find<QComboBox>(name); }
  QStringList Items(const char* name) {
    QStringList items;
    QComboBox* combo = Combo(name);
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    return items;
  }

  QualityPanel panel;
  PresetCommands commands;
  QualityPanelWidget widget;
};

}  // namespace

class QualityPanelWidgetTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    folder_ = std::make_unique<QTemporaryDir>();
    settings_ = std::make_unique<MemorySettings>(folder_->path());
    ui_ = std::make_unique<test::ScriptedUserInterface>();
    presets_ = std::make_unique<COutputQualityMgmt>(*settings_);
    presets_->Load(QString(), *ui_);
    convert_ = std::make_unique<Page>(PanelPage::Converter, *presets_, capabilities_, *ui_, *settings_);
    rip_ = std::make_unique<Page>(PanelPage::Ripper, *presets_, capabilities_, *ui_, *settings_);
    convert_->commands.SetOtherPageRebuild([this] { rip_->commands.FillPresetList(); });
  }
  void cleanup() {
    rip_.reset();
    convert_.reset();
    presets_.reset();
    ui_.reset();
    settings_.reset();
    folder_.reset();
  }

  void showsTheAppliedPreset() {
    auto* list = convert_->Find<QListWidget>("presetList");
    QCOMPARE(list->count(), 5);
    QCOMPARE(list->currentItem()->text(), QStringLiteral("CD Quality"));
    QCOMPARE(convert_->Combo("formatBox")->currentText(), QStringLiteral("MP3"));
    QCOMPARE(convert_->Combo("sampleRateBox")->currentText(), QStringLiteral("44100"));
    QCOMPARE(convert_->Combo("bitrateBox")->currentText(), QStringLiteral("128"));
    QCOMPARE(convert_->Items("bitrateBox").first(), QStringLiteral("32"));
    QVERIFY(convert_->Find<QRadioButton>("stereoRadio")->isChecked());
    QVERIFY(!convert_->Find<QRadioButton>("bits8Radio")->isEnabled());
    QVERIFY(!convert_->Combo("mp3VbrBox")->isHidden());
    QVERIFY(convert_->Combo("wavCodecBox")->isHidden());
    QCOMPARE(convert_->widget.title(), QStringLiteral("Conversion Quality Setting"));
    QCOMPARE(rip_->widget.title(), QStringLiteral("Output Quality Setting"));
    QVERIFY(convert_->Find<QCheckBox>("normalizeCheck"));
    QVERIFY(!rip_->Find<QCheckBox>("normalizeCheck"));
  }

  void formatRulesFollowTheFormatBox() {
    QComboBox* format = convert_->Combo("formatBox");
    format->setCurrentIndex(6);  // MusePack
    QVERIFY(!convert_->Combo("sampleRateBox")->isEnabled());
    QVERIFY(!convert_->Combo("bitrateBox")->isEnabled());
    QVERIFY(!convert_->Find<QRadioButton>("monoRadio")->isEnabled());
    QVERIFY(!convert_->Combo("musepackBox")->isHidden());
    QVERIFY(convert_->Combo("mp3VbrBox")->isHidden());
    QCOMPARE(convert_->Combo("musepackBox")->currentText(), QStringLiteral("4: 'xtreme' quality"));  // from CD Quality

    format->setCurrentIndex(1);  // WAV
    QCOMPARE(convert_->Find<QLabel>("qualityLabel")->text(), QStringLiteral("Audio Codec:"));
    QVERIFY(convert_->Find<QRadioButton>("bits8Radio")->isEnabled());
    convert_->Combo("wavCodecBox")->setCurrentIndex(2);  // A-law
    QVERIFY(!convert_->Find<QRadioButton>("bits8Radio")->isEnabled());
    QVERIFY(!convert_->Find<QRadioButton>("bits16Radio")->isEnabled());
    convert_->Combo("wavCodecBox")->setCurrentIndex(0);
    QVERIFY(convert_->Find<QRadioButton>("bits16Radio")->isEnabled());

    format->setCurrentIndex(5);  // Monkey's Audio: tags kept on the converter page only
    QVERIFY(convert_->Find<QCheckBox>("keepTagsCheck")->isEnabled());
    rip_->Combo("formatBox")->setCurrentIndex(5);
    QVERIFY(!rip_->Find<QCheckBox>("keepTagsCheck")->isEnabled());
    format->setCurrentIndex(7);  // VOX
    QVERIFY(!convert_->Find<QCheckBox>("keepTagsCheck")->isEnabled());
    QVERIFY(!convert_->Combo("wmaBox")->isHidden());
    QVERIFY(!convert_->Combo("wmaBox")->isEnabled());
  }

  void rateChangeKeepsOrReplacesTheBitrate() {
    convert_->Combo("sampleRateBox")->setCurrentIndex(3);  // 16000: 128 still offered
    QCOMPARE(convert_->Combo("bitrateBox")->currentText(), QStringLiteral("128"));
    convert_->Combo("sampleRateBox")->setCurrentIndex(0);  // 8000: it is not
    QCOMPARE(convert_->Combo("bitrateBox")->currentText(), QStringLiteral("8"));
    QCOMPARE(convert_->Items("bitrateBox").last(), QStringLiteral("64"));
  }

  void wmaWithVbr() {
    convert_->Combo("formatBox")->setCurrentIndex(3);
    QCOMPARE(convert_->Items("bitrateBox").first(), QStringLiteral("320"));
    QCOMPARE(convert_->Items("bitrateBox").last(), QStringLiteral("24"));
    QCheckBox* vbr = convert_->Find<QCheckBox>("vbrCheck");
    QVERIFY(vbr->isEnabled());
    vbr->click();
    QVERIFY(vbr->isChecked());
    QVERIFY(!convert_->Combo("bitrateBox")->isEnabled());
    QVERIFY(convert_->Combo("wmaBox")->isEnabled());
    QCOMPARE(convert_->Combo("wmaBox")->count(), 0);
    QCOMPARE(settings_->ReadNumber(keys::section::kConvert, keys::kMp3VbrEnabled, -1), 1);
    QVERIFY(!convert_->panel.CheckBeforeRun(*ui_));
    QVERIFY(ui_->MessageTexts().last().startsWith(QStringLiteral("No WMA VBR Quality been set.")));
  }

  void menuCommandsReachThePresetsAndTheOtherPage() {
    auto* button = convert_->Find<QPushButton>("qualityMgmtButton");
    QVERIFY(button->menu());
    QAction* saveAs = convert_->Find<QAction>("saveAsAction");
    QVERIFY(saveAs);
    convert_->Find<QRadioButton>("monoRadio")->click();
    ui_->text_answers = {QStringLiteral("Voice")};
    saveAs->trigger();
    auto* list = convert_->Find<QListWidget>("presetList");
    QCOMPARE(list->count(), 6);
    QCOMPARE(list->currentItem()->text(), QStringLiteral("Voice"));
    QCOMPARE(presets_->At(5).settings.channels, 1);
    QCOMPARE(rip_->Find<QListWidget>("presetList")->count(), 6);

    list->setCurrentRow(0);  // a click in the list applies the preset
    QCOMPARE(convert_->Combo("sampleRateBox")->currentText(), QStringLiteral("48000"));
    ui_->answers = {MessageAnswer::Ok};
    convert_->Find<QAction>("removeAction")->trigger();
    QCOMPARE(list->count(), 5);
    QCOMPARE(list->currentItem()->text(), QStringLiteral("CD Quality"));
    QCOMPARE(rip_->Find<QListWidget>("presetList")->count(), 5);
  }

  void normalizeEnablesItsPercentBox() {
    auto* percent = convert_->Find<QSpinBox>("normalizePercent");
    QVERIFY(!percent->isEnabled());
    convert_->Find<QCheckBox>("normalizeCheck")->click();
    QVERIFY(percent->isEnabled());
  }

 private:
  EncoderCapabilities capabilities_;
  std::unique_ptr<QTemporaryDir> folder_;
  std::unique_ptr<MemorySettings> settings_;
  std::unique_ptr<test::ScriptedUserInterface> ui_;
  std::unique_ptr<COutputQualityMgmt> presets_;
  std::unique_ptr<Page> convert_;
  std::unique_ptr<Page> rip_;
};

QTEST_MAIN(QualityPanelWidgetTest)
#include "QualityPanelWidget_test.moc"
