// "Converter Settings": defaults written on opening, OK writes all values, Cancel writes nothing.
#include <QAbstractButton>
#include <QCheckBox>
#include <QtTest>

#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "converter/gui/CCvrtSettingDlg.h"
#include "support/TestSettings.h"

using namespace corvane;

namespace {
int Stored(const char* value) { return SettingsStore::ReadNumber(keys::section::kConvert, value, -77); }
}  // namespace

class CCvrtSettingDlgTest : public QObject {
  Q_OBJECT
 private slots:
  void openingWritesMissingDefaults() {
    test::TestSettings settings;
    CCvrtSettingDlg dialog;
    QCOMPARE(Stored(keys::kSourceFolderMode), 1);
    QCOMPARE(Stored(keys::kEnableId3v2), 0);
    QCOMPARE(Stored(keys::kConfirmOverwrite), 1);
    QCOMPARE(Stored(keys::kShowSuccess), 1);
    QCOMPARE(Stored(keys::kAutoOpenFolder), 0);
    QCOMPARE(Stored(keys::kOutputFolderConfirmation), 0);
    QVERIFY(SettingsStore::Contains(keys::section::kConvert, keys::kDefaultSourceFolder));
    QCOMPARE(dialog.SourceModeGroup()->checkedId(), 1);
  }

  void okWritesEveryValueAndCancelNothing() {
    test::TestSettings settings;
    {
      CCvrtSettingDlg dialog;
      dialog.SourceModeGroup()->button(0)->setChecked(true);
      dialog.Id3v2Group()->button(2)->setChecked(true);
      dialog.DefaultFolder()->setText(QStringLiteral("/srv/music"));
      for (QCheckBox* box : dialog.findChildren<QCheckBox*>()) box->setChecked(!box->isChecked());
      dialog.reject();
    }
    QCOMPARE(Stored(keys::kSourceFolderMode), 1);
    QCOMPARE(Stored(keys::kEnableId3v2), 0);
    QCOMPARE(Stored(keys::kConfirmOverwrite), 1);
    {
      CCvrtSettingDlg dialog;
      dialog.SourceModeGroup()->button(0)->setChecked(true);
      dialog.Id3v2Group()->button(2)->setChecked(true);
      dialog.DefaultFolder()->setText(QStringLiteral("/srv/music"));
      for (QCheckBox* box : dialog.findChildren<QCheckBox*>()) box->setChecked(!box->isChecked());
      dialog.accept();
    }
    QCOMPARE(Stored(keys::kSourceFolderMode), 0);
    QCOMPARE(Stored(keys::kEnableId3v2), 2);
    QCOMPARE(SettingsStore::ReadText(keys::section::kConvert, keys::kDefaultSourceFolder),
             QStringLiteral("/srv/music"));
    QCOMPARE(Stored(keys::kOutputFolderConfirmation), 1);
    QCOMPARE(Stored(keys::kConfirmOverwrite), 0);
    QCOMPARE(Stored(keys::kShowSuccess), 0);
    QCOMPARE(Stored(keys::kAutoOpenFolder), 1);
  }
};

QTEST_MAIN(CCvrtSettingDlgTest)
#include "CCvrtSettingDlg_test.moc"
