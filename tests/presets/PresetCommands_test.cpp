// The preset operations of the two pages: filling, applying, and the four menu commands.
#include "presets/PresetCommands.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "common/MemorySettings.h"
#include "common/SettingsKeys.h"
#include "formats/EncoderCapabilities.h"
#include "formats/OutputFormatCatalogue.h"
#include "formats/QualityPanel.h"
#include "presets/COutputQualityMgmt.h"
#include "support/ScriptedUserInterface.h"

namespace corvane {
namespace {

const QStringList kDefaults{"HiFi Quality", "CD Quality", "FM Radio Quality", "AM Radio Quality", "Telephone Quality"};

class TwoPages : public testing::Test {
 protected:
  TwoPages() {
    presets_.Load(QString(), ui_);
    convert_.SetOtherPageRebuild([this] {
      ++ripper_rebuilds_;
      rip_.FillPresetList();
    });
    rip_.SetOtherPageRebuild([this] { convert_.FillPresetList(); });
    convert_.FillPresetList();
    rip_.FillPresetList();
  }

  QString SelectedPreset(const QualityPanel& panel) const {
    const ComboBoxState& list = panel.State().presets;
    return list.HasValidSelection() ? list.items.at(list.selected) : QString();
  }
  QStringList Texts() const { return ui_.MessageTexts(); }

  QTemporaryDir folder_;
  MemorySettings store_{folder_.path()};
  test::ScriptedUserInterface ui_;
  EncoderCapabilities capabilities_;
  COutputQualityMgmt presets_{store_};
  QualityPanel convert_panel_{PanelPage::Converter, capabilities_, store_};
  QualityPanel rip_panel_{PanelPage::Ripper, capabilities_, store_};
  PresetCommands convert_{presets_, convert_panel_, ui_, store_};
  PresetCommands rip_{presets_, rip_panel_, ui_, store_};
  int ripper_rebuilds_ = 0;
};

TEST_F(TwoPages, FirstStartSelectsCdQualityOnBothPagesAndAppliesIt) {
  for (const QualityPanel* panel : {&convert_panel_, &rip_panel_}) {
    EXPECT_EQ(panel->State().presets.items, kDefaults);
    EXPECT_EQ(SelectedPreset(*panel), QStringLiteral("CD Quality"));
    EXPECT_EQ(panel->ReadPanelSettings(),
              (EncodeSettings{FormatCode::Mp3, 44100, 128, 2, 16, 0, 4, 4, false, WavCodec::Pcm}));
  }
  EXPECT_EQ(store_.ReadText(keys::section::kConvert, keys::kOutputQualityName), QStringLiteral("CD Quality"));
  EXPECT_EQ(store_.ReadText(keys::section::kRip, keys::kOutputQualityName), QStringLiteral("CD Quality"));
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(TwoPages, ARememberedNameMustMatchExactly) {
  store_.WriteText(keys::section::kConvert, keys::kOutputQualityName, QStringLiteral("cd quality"));
  convert_.FillPresetList();
  EXPECT_EQ(SelectedPreset(convert_panel_), QStringLiteral("HiFi Quality"));
  EXPECT_EQ(store_.ReadText(keys::section::kConvert, keys::kOutputQualityName), QStringLiteral("HiFi Quality"));
  EXPECT_EQ(convert_panel_.ReadPanelSettings().sample_rate, 48000);
}

TEST_F(TwoPages, ApplyingAPresetSetsEveryControl) {
  convert_.SelectPreset(4);  // Telephone Quality
  const QualityPanelState& s = convert_panel_.State();
  EXPECT_EQ(s.channels, ChannelRadio::Mono);
  EXPECT_EQ(s.bits, BitsRadio::Bits8);
  EXPECT_EQ(s.musepack.selected, 0);
  EXPECT_EQ(s.bitrate.items, (QStringList{"8", "16", "24", "32", "40", "48", "56", "64"}));
  EXPECT_EQ(s.bitrate.items.at(s.bitrate.selected), QStringLiteral("32"));
  EXPECT_EQ(store_.ReadText(keys::section::kConvert, keys::kOutputQualityName), QStringLiteral("Telephone Quality"));
  // The other page keeps its own choice.
  EXPECT_EQ(SelectedPreset(rip_panel_), QStringLiteral("CD Quality"));
}

TEST_F(TwoPages, SaveAsRefusesExistingNamesAndAsksAgainForAnEmptyOne) {
  ui_.text_answers = {QStringLiteral("  CD Quality  ")};
  convert_.SaveAs();
  ui_.text_answers = {QStringLiteral("cd quality")};
  convert_.SaveAs();
  ASSERT_EQ(Texts().size(), 2);
  EXPECT_EQ(Texts()[0], QStringLiteral("'CD Quality' has already existed!"));
  EXPECT_EQ(Texts()[1], QStringLiteral("'cd quality' has already existed!"));
  EXPECT_EQ(ui_.messages[0].icon, MessageIcon::Information);
  EXPECT_EQ(presets_.Count(), 5);

  ui_.text_answers = {QString(), QStringLiteral("   "), QStringLiteral("CD")};
  convert_.SaveAs();
  EXPECT_EQ(Texts().mid(2),
            (QStringList{"Please input the name of output quality.", "Please input the name of output quality."}));
  EXPECT_EQ(presets_.Count(), 6);
  EXPECT_EQ(SelectedPreset(convert_panel_), QStringLiteral("CD"));
  EXPECT_EQ(rip_panel_.State().presets.items.last(), QStringLiteral("CD"));  // the other page rebuilt
  EXPECT_EQ(SelectedPreset(rip_panel_), QStringLiteral("CD Quality"));

  ui_.text_answers = {std::nullopt};  // Cancel saves nothing
  convert_.SaveAs();
  EXPECT_EQ(presets_.Count(), 6);
}

TEST_F(TwoPages, AHundredAndTwentyCharacterNameIsKeptAsNinetyNine) {
  const QString name = QString(60, QLatin1Char('a')) + QString(60, QLatin1Char('b'));
  ui_.text_answers = {name};
  convert_.SaveAs();
  ASSERT_EQ(presets_.Count(), 6);
  EXPECT_EQ(SelectedPreset(convert_panel_), name.left(99));
  COutputQualityMgmt reread(store_);
  reread.Load(QString(), ui_);
  EXPECT_EQ(reread.At(5).name, name.left(99));
  // Selected again by its remembered name on the next fill.
  convert_.FillPresetList();
  EXPECT_EQ(SelectedPreset(convert_panel_), name.left(99));
}

TEST_F(TwoPages, SaveNeedsABitrateForMp3AndOggOnly) {
  convert_panel_.Edit().bitrate.Clear();
  convert_.Save();
  EXPECT_EQ(Texts(), QStringList{"Can not save because there is no bitrate been set."});
  EXPECT_EQ(ui_.messages[0].icon, MessageIcon::Error);

  convert_panel_.SelectFormat(catalogue::PositionOfFormat(FormatCode::Wav));
  convert_panel_.Edit().bitrate.Clear();
  const int before = ripper_rebuilds_;
  convert_.Save();
  EXPECT_EQ(Texts().last(), QStringLiteral("Save Successfully!"));
  EXPECT_EQ(presets_.At(1).settings.format, FormatCode::Wav);
  EXPECT_EQ(presets_.At(1).settings.bitrate, 0);
  EXPECT_EQ(ripper_rebuilds_, before + 1);
  // The ripper page, rebuilt, now shows the WAV preset.
  EXPECT_EQ(rip_panel_.ReadPanelSettings().format, FormatCode::Wav);
}

TEST_F(TwoPages, SaveWithoutSelectionRunsAsSaveAs) {
  convert_panel_.Edit().presets.selected = -1;
  ui_.text_answers = {QStringLiteral("Fresh")};
  convert_.Save();
  EXPECT_EQ(presets_.At(5).name, QStringLiteral("Fresh"));
}

TEST_F(TwoPages, RemoveAsksFirstAndSelectsTheRowThatMovesUp) {
  convert_panel_.Edit().presets.selected = -1;
  convert_.Remove();
  EXPECT_EQ(Texts(), QStringList{"Please select the output quality item."});

  convert_.SelectPreset(1);
  ui_.answers = {MessageAnswer::Cancel};
  convert_.Remove();
  EXPECT_EQ(presets_.Count(), 5);

  ui_.answers = {MessageAnswer::Ok};
  convert_.Remove();
  EXPECT_EQ(Texts().last(), QStringLiteral("Are you sure to remove?"));
  EXPECT_EQ(presets_.Count(), 4);
  EXPECT_EQ(SelectedPreset(convert_panel_), QStringLiteral("FM Radio Quality"));
  EXPECT_EQ(convert_panel_.ReadPanelSettings().sample_rate, 22050);
  EXPECT_FALSE(rip_panel_.State().presets.items.contains(QStringLiteral("CD Quality")));

  convert_.SelectPreset(3);  // the last row: its predecessor takes its place
  convert_.Remove();
  EXPECT_EQ(SelectedPreset(convert_panel_), QStringLiteral("AM Radio Quality"));
}

TEST_F(TwoPages, RemovingEveryPresetLeavesAnEmptyListAndAnMp3Panel) {
  for (int i = 0; i < 5; ++i) {
    convert_.SelectPreset(0);
    convert_.Remove();
  }
  EXPECT_EQ(presets_.Count(), 0);
  EXPECT_TRUE(rip_panel_.State().presets.items.isEmpty());
  EXPECT_EQ(rip_panel_.State().presets.selected, -1);
  const EncodeSettings empty = rip_panel_.ReadPanelSettings();
  EXPECT_EQ(empty.format, FormatCode::Mp3);
  EXPECT_EQ(empty.sample_rate, 8000);
  EXPECT_EQ(empty.bitrate, 8);
}

TEST_F(TwoPages, ResetAllRestoresTheDefaultsAndSelectsCdQuality) {
  ui_.text_answers = {QStringLiteral("Mine")};
  convert_.SaveAs();
  ui_.answers = {MessageAnswer::Cancel};
  convert_.ResetAll();
  EXPECT_EQ(presets_.Count(), 6);

  ui_.answers = {MessageAnswer::Ok};
  convert_.ResetAll();
  EXPECT_EQ(presets_.Count(), 5);
  EXPECT_EQ(SelectedPreset(convert_panel_), QStringLiteral("CD Quality"));
  EXPECT_EQ(rip_panel_.State().presets.items, kDefaults);
  EXPECT_EQ(Texts().last(), QStringLiteral("Output qualities have been reset successfully!"));
  EXPECT_EQ(ui_.messages.back().icon, MessageIcon::Information);
}

}  // namespace
}  // namespace corvane
