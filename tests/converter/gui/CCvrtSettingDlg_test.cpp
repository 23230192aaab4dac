// "Converter Settings": defaults written on opening, OK writes all values, Cancel writes nothing.
#include <QAbstractButton>
#include <QCheckBox>
#include <QtTest>

#include "common/MemorySettings.h"
#include "common/SettingsKeys.h"
#include "converter/gui/CCvrtSettingDlg.h"

using namespace corvane;

namespace {
int Stored(const SettingsStore& settings, const char* value) {
  return settings.ReadNumber(keys::section::kConvert, value, -77);
}
}  // namespace

class CCvrtSettingDlgTest : public QObject {
  Q_OBJECT
 private slots:
  void openingWritesMissingDefaults() {
    MemorySettings settings;
    CCvrtSettingDlg dialog(settings);
    QCOMPARE(Stored(settings, keys::kSourceFolderMode), 1);
    QCOMPARE(Stored(settings, keys::kEnableId3v2), 0);
    QCOMPARE(Stored(settings, keys::kConfirmOverwrite), 1);
    QCOMPARE(Stored(settings, keys::kShowSuccess), 1);
    QCOMPARE(Stored(settings, keys::kAutoOpenFolder), 0);
    QCOMPARE(Stored(settings, keys::kOutputFolderConfirmation), 0);
    QVERIFY(settings.Contains(keys::section::kConvert, keys::kDefaultSourceFolder));
    QCOMPARE(dialog.SourceModeGroup()->checkedId(), 1);
  }

  void okWritesEveryValueAndCancelNothing() {
    MemorySettings settings;
    {
      CCvrtSettingDlg dialog(settings);
      dialog.SourceModeGroup()->button(0)->setChecked(true);
      dialog.Id3v2Group()->button(2)->setChecked(true);
      dialog.DefaultFolder()->setText(QStringLiteral("/srv/music"));
      for (QCheckBox* box : dialog.findChildren<QCheckBox*>()) box->setChecked(!box->isChecked());
      dialog.reject();
    }
    QCOMPARE(Stored(settings, keys::kSourceFolderMode), 1);
    QCOMPARE(Stored(settings, keys::kEnableId3v2), 0);
    QCOMPARE(Stored(settings, keys::kConfirmOverwrite), 1);
    {
      CCvrtSettingDlg dialog(settings);
      dialog.SourceModeGroup()->button(0)->setChecked(true);
      dialog.Id3v2Group()->button(2)->setChecked(true);
      dialog.DefaultFolder()->setText(QStringLiteral("/srv/music"));
      for (QCheckBox* box : dialog.findChildren<QCheckBox*>()) box->setChecked(!box->isChecked());
      dialog.ReplayGainBox()->setCurrentIndex(2);
      dialog.NormalizationGroup()->button(1)->setChecked(true);
      dialog.LoudnessTargetField()->setValue(-23.5);
      dialog.accept();
    }
    QCOMPARE(Stored(settings, keys::kSourceFolderMode), 0);
    QCOMPARE(Stored(settings, keys::kEnableId3v2), 2);
    QCOMPARE(settings.ReadText(keys::section::kConvert, keys::kDefaultSourceFolder), QStringLiteral("/srv/music"));
    QCOMPARE(Stored(settings, keys::kOutputFolderConfirmation), 1);
    QCOMPARE(Stored(settings, keys::kConfirmOverwrite), 0);
    QCOMPARE(Stored(settings, keys::kShowSuccess), 0);
    QCOMPARE(Stored(settings, keys::kAutoOpenFolder), 1);
    QCOMPARE(Stored(settings, keys::kReplayGainMode), 2);
    QCOMPARE(Stored(settings, keys::kNormalizationMode), 1);
    QCOMPARE(settings.ReadText(keys::section::kConvert, keys::kLoudnessTarget), QStringLiteral("-23.5"));
    {
      CCvrtSettingDlg dialog(settings);  // shows what is stored
      QCOMPARE(dialog.NormalizationGroup()->checkedId(), 1);
      QCOMPARE(dialog.LoudnessTargetField()->value(), -23.5);
      QCOMPARE(dialog.ReplayGainBox()->currentIndex(), 2);
    }
  }
};

QTEST_MAIN(CCvrtSettingDlgTest)
#include "CCvrtSettingDlg_test.moc"
