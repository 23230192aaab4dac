// "Convert Entire Folder(s)": its controls, the refusal of an empty folder, and the values it
// stores for "Add" and "Add as Files".
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "common/MemorySettings.h"
#include "common/SettingsKeys.h"
#include "converter/gui/CLoadFolder.h"
#include "support/ScriptedUserInterface.h"

using namespace corvane;

namespace {
int Stored(const SettingsStore& settings, const char* value) {
  return settings.ReadNumber(keys::section::kConvert, value, -77);
}
QString StoredFolder(const SettingsStore& settings) {
  return settings.ReadText(keys::section::kConvert, keys::kLastLoadedFolder);
}
}  // namespace

class CLoadFolderTest : public QObject {
  Q_OBJECT
 private slots:
  void opensWithTheStoredValuesAndWritesMissingDefaults() {
    MemorySettings settings;
    test::ScriptedUserInterface ui;
    CLoadFolder dialog(ui, settings);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Convert Entire Folder(s)"));
    QCOMPARE(Stored(settings, keys::kLoadFolderAudioType), 0);
    QCOMPARE(Stored(settings, keys::kSubFolders), 1);
    QCOMPARE(dialog.TypeBox()->count(), 28);
    QCOMPARE(dialog.TypeBox()->itemText(23), QStringLiteral("CD Audio"));
    QVERIFY(dialog.SubFoldersBox()->isChecked());
    QCOMPARE(dialog.SubFoldersBox()->text(), QStringLiteral("Include all &sub-folder(s)"));
    QStringList labels;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) labels << label->text();
    QVERIFY(labels.contains(QStringLiteral("Select the &folder you'd like to convert:")));
    QVERIFY(labels.contains(QStringLiteral("&Type of audio files:")));
    QVERIFY(labels.filter(QStringLiteral("Tips: you can add the folder again")).size() == 1);

    settings.WriteNumber(keys::section::kConvert, keys::kLoadFolderAudioType, 14);
    settings.WriteNumber(keys::section::kConvert, keys::kSubFolders, 0);
    settings.WriteText(keys::section::kConvert, keys::kLastLoadedFolder, QStringLiteral("/srv/music"));
    CLoadFolder again(ui, settings);
    QCOMPARE(again.TypeBox()->currentText(), QStringLiteral("mpc files"));
    QVERIFY(!again.SubFoldersBox()->isChecked());
    QCOMPARE(again.FolderField()->text(), QStringLiteral("/srv/music"));

    settings.WriteNumber(keys::section::kConvert, keys::kLoadFolderAudioType, 40);
    CLoadFolder outside(ui, settings);
    QCOMPARE(outside.TypeBox()->currentIndex(), 0);
  }

  void emptyFolderIsRefusedAndNothingStored() {
    MemorySettings settings;
    test::ScriptedUserInterface ui;
    CLoadFolder dialog(ui, settings);
    dialog.show();
    dialog.TypeBox()->setCurrentIndex(9);
    dialog.AddButton()->click();
    QVERIFY(dialog.isVisible());
    dialog.AddAsFilesButton()->click();
    QVERIFY(dialog.isVisible());
    QCOMPARE(ui.MessageTexts(), QStringList(2, QStringLiteral("Please select the folder you'd like to convert.")));
    QCOMPARE(Stored(settings, keys::kLoadFolderAudioType), 0);
    QCOMPARE(StoredFolder(settings), QString());
  }

  void addAndAddAsFilesStoreTheChoice() {
    MemorySettings settings;
    test::ScriptedUserInterface ui;
    {
      CLoadFolder dialog(ui, settings);
      dialog.show();
      dialog.FolderField()->setText(QStringLiteral("/srv/a"));
      dialog.TypeBox()->setCurrentIndex(11);
      dialog.SubFoldersBox()->setChecked(false);
      dialog.AddButton()->click();
      QCOMPARE(dialog.result(), int(QDialog::Accepted));
      QVERIFY(!dialog.Choice().as_files);
      QCOMPARE(dialog.Choice().type_row, 11);
    }
    QCOMPARE(Stored(settings, keys::kLoadFolderAudioType), 11);
    QCOMPARE(Stored(settings, keys::kSubFolders), 0);
    QCOMPARE(StoredFolder(settings), QStringLiteral("/srv/a"));

    CLoadFolder dialog(ui, settings);
    dialog.show();
    dialog.SubFoldersBox()->setChecked(true);
    dialog.AddAsFilesButton()->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(dialog.Choice().as_files);
    QCOMPARE(dialog.Choice().folder, QStringLiteral("/srv/a"));
    QCOMPARE(Stored(settings, keys::kSubFolders), 1);
    QVERIFY(ui.messages.empty());
  }

  void chosenFolderIsShownAndStoredAtOnce() {
    MemorySettings settings;
    test::ScriptedUserInterface ui;
    CLoadFolder dialog(ui, settings);
    ui.folder_answers = {QStringLiteral("/srv/picked"), std::nullopt};
    dialog.BrowseButton()->click();
    QCOMPARE(dialog.FolderField()->text(), QStringLiteral("/srv/picked"));
    QCOMPARE(StoredFolder(settings), QStringLiteral("/srv/picked"));
    dialog.BrowseButton()->click();  // cancelled: nothing changes
    QCOMPARE(dialog.FolderField()->text(), QStringLiteral("/srv/picked"));
    dialog.reject();
    QCOMPARE(StoredFolder(settings), QStringLiteral("/srv/picked"));
  }
};

QTEST_MAIN(CLoadFolderTest)
#include "CLoadFolder_test.moc"
