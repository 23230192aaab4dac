// "Convert Entire Folder(s)": its controls, the refusal of an empty folder, and the values it
// stores for "Add" and "Add as Files".
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "converter/gui/CLoadFolder.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestSettings.h"

using namespace corvane;

namespace {
int Stored(const char* value) { return SettingsStore::ReadNumber(keys::section::kConvert, value, -77); }
QString StoredFolder() { return SettingsStore::ReadText(keys::section::kConvert, keys::kLastLoadedFolder); }
}  // namespace

class CLoadFolderTest : public QObject {
  Q_OBJECT
 private slots:
  void opensWithTheStoredValuesAndWritesMissingDefaults() {
    test::TestSettings settings;
    test::ScriptedUserInterface ui;
    CLoadFolder dialog(ui);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Convert Entire Folder(s)"));
    QCOMPARE(Stored(keys::kLoadFolderAudioType), 0);
    QCOMPARE(Stored(keys::kSubFolders), 1);
    QCOMPARE(dialog.TypeBox()->count(), 28);
    QCOMPARE(dialog.TypeBox()->itemText(23), QStringLiteral("CD Audio"));
    QVERIFY(dialog.SubFoldersBox()->isChecked());
    QCOMPARE(dialog.SubFoldersBox()->text(), QStringLiteral("Include all &sub-folder(s)"));
    QStringList labels;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) labels << label->text();
    QVERIFY(labels.contains(QStringLiteral("Select the &folder you'd like to convert:")));
    QVERIFY(labels.contains(QStringLiteral("&Type of audio files:")));
    QVERIFY(labels.filter(QStringLiteral("Tips: you can add the folder again")).size() == 1);

    SettingsStore::WriteNumber(keys::section::kConvert, keys::kLoadFolderAudioType, 14);
    SettingsStore::WriteNumber(keys::section::kConvert, keys::kSubFolders, 0);
    SettingsStore::WriteText(keys::section::kConvert, keys::kLastLoadedFolder, QStringLiteral("/srv/music"));
    CLoadFolder again(ui);
    QCOMPARE(again.TypeBox()->currentText(), QStringLiteral("mpc files"));
    QVERIFY(!again.SubFoldersBox()->isChecked());
    QCOMPARE(again.FolderField()->text(), QStringLiteral("/srv/music"));

    SettingsStore::WriteNumber(keys::section::kConvert, keys::kLoadFolderAudioType, 40);
    CLoadFolder outside(ui);
    QCOMPARE(outside.TypeBox()->currentIndex(), 0);
  }

  void emptyFolderIsRefusedAndNothingStored() {
    test::TestSettings settings;
    test::ScriptedUserInterface ui;
    CLoadFolder dialog(ui);
    dialog.show();
    dialog.TypeBox()->setCurrentIndex(9);
    dialog.AddButton()->click();
    QVERIFY(dialog.isVisible());
    dialog.AddAsFilesButton()->click();
    QVERIFY(dialog.isVisible());
    QCOMPARE(ui.MessageTexts(), QStringList(2, QStringLiteral("Please select the folder you'd like to convert.")));
    QCOMPARE(Stored(keys::kLoadFolderAudioType), 0);
    QCOMPARE(StoredFolder(), QString());
  }

  void addAndAddAsFilesStoreTheChoice() {
    test::TestSettings settings;
    test::ScriptedUserInterface ui;
    {
      CLoadFolder dialog(ui);
      dialog.show();
      dialog.FolderField()->setText(QStringLiteral("/srv/a"));
      dialog.TypeBox()->setCurrentIndex(11);
      dialog.SubFoldersBox()->setChecked(false);
      dialog.AddButton()->click();
      QCOMPARE(dialog.result(), int(QDialog::Accepted));
      QVERIFY(!dialog.Choice().as_files);
      QCOMPARE(dialog.Choice().type_row, 11);
    }
    QCOMPARE(Stored(keys::kLoadFolderAudioType), 11);
    QCOMPARE(Stored(keys::kSubFolders), 0);
    QCOMPARE(StoredFolder(), QStringLiteral("/srv/a"));

    CLoadFolder dialog(ui);
    dialog.show();
    dialog.SubFoldersBox()->setChecked(true);
    dialog.AddAsFilesButton()->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(dialog.Choice().as_files);
    QCOMPARE(dialog.Choice().folder, QStringLiteral("/srv/a"));
    QCOMPARE(Stored(keys::kSubFolders), 1);
    QVERIFY(ui.messages.empty());
  }

  void chosenFolderIsShownAndStoredAtOnce() {
    test::TestSettings settings;
    test::ScriptedUserInterface ui;
    CLoadFolder dialog(ui);
    ui.folder_answers = {QStringLiteral("/srv/picked"), std::nullopt};
    dialog.BrowseButton()->click();
    QCOMPARE(dialog.FolderField()->text(), QStringLiteral("/srv/picked"));
    QCOMPARE(StoredFolder(), QStringLiteral("/srv/picked"));
    dialog.BrowseButton()->click();  // cancelled: nothing changes
    QCOMPARE(dialog.FolderField()->text(), QStringLiteral("/srv/picked"));
    dialog.reject();
    QCOMPARE(StoredFolder(), QStringLiteral("/srv/picked"));
  }
};

QTEST_MAIN(CLoadFolderTest)
#include "CLoadFolder_test.moc"
