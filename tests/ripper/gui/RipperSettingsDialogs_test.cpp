// "Ripper Settings" and "FreeDB Settings" driven through their controls: defaults shown, radio
// refill, proxy edit following its box, the drive's read offset, OK writing, Cancel leaving the
// store alone.
#include <QAbstractButton>
#include <QLabel>
#include <QtTest>

#include "common/MemorySettings.h"
#include "common/SettingsKeys.h"
#include "components/IFreedbClient.h"
#include "ripper/RipperSettingsValues.h"
#include "ripper/gui/CFreeDBSettings.h"
#include "ripper/gui/CRipSettings.h"
#include "support/ScriptedUserInterface.h"

using namespace corvane;

namespace {
int Rip(const SettingsStore& settings, const char* value) {
  return settings.ReadNumber(keys::section::kRip, value, -77);
}
int Freedb(const SettingsStore& settings, const char* value) {
  return settings.ReadNumber(keys::section::kFreeDb, value, -77);
}
}  // namespace

class RipperSettingsDialogsTest : public QObject {
  Q_OBJECT
 private slots:
  void ripperDialogMapsRefillsAndWritesOnOkOnly() {
    MemorySettings settings;
    settings.WriteNumber(keys::section::kRip, keys::kGrabModePreset, 7);
    settings.WriteNumber(keys::section::kRip, keys::kGrabErrorAction, 2);
    test::ScriptedUserInterface ui;
    {
      CRipSettings dialog(ui, settings);
      dialog.show();
      QVERIFY(QTest::qWaitForWindowExposed(&dialog));
      QCOMPARE(dialog.GrabModeGroup()->checkedId(), 1);
      QCOMPARE(dialog.RetriesEdit()->text(), QStringLiteral("5"));  // written as the default
      QCOMPARE(dialog.ErrorActionGroup()->checkedId(), 2);
      QVERIFY(!dialog.ErrorActionGroup()->button(2)->isVisible());
      // Every click on a mode, the checked one too, puts that mode's retries into the edit.
      const QString refills[] = {QStringLiteral("0"), QStringLiteral("5"), QStringLiteral("10"), QStringLiteral("50")};
      for (int mode : {3, 0, 2, 1, 1}) {
        dialog.RetriesEdit()->setText(QStringLiteral("77"));
        dialog.GrabModeGroup()->button(mode)->click();
        QCOMPARE(dialog.RetriesEdit()->text(), refills[mode]);
      }
      dialog.reject();
    }
    QCOMPARE(Rip(settings, keys::kGrabModePreset), 7);  // Cancel wrote nothing
    QCOMPARE(Rip(settings, keys::kGrabErrorRetries), 5);

    CRipSettings dialog(ui, settings);
    dialog.RetriesEdit()->setText(QStringLiteral("twelve"));
    dialog.accept();
    QCOMPARE(ui.MessageTexts(), QStringList{QStringLiteral("Please enter an integer.")});
    QCOMPARE(dialog.result(), int(QDialog::Rejected));  // still open, nothing written
    QCOMPARE(Rip(settings, keys::kGrabModePreset), 7);

    dialog.RetriesEdit()->setText(QStringLiteral("150"));
    dialog.ErrorActionGroup()->button(0)->click();
    for (QCheckBox* box : dialog.findChildren<QCheckBox*>()) box->setChecked(!box->isChecked());
    dialog.ReplayGainBox()->setCurrentIndex(1);
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(Rip(settings, keys::kGrabModePreset), 2);
    QCOMPARE(Rip(settings, keys::kGrabErrorRetries), 99);
    QCOMPARE(Rip(settings, keys::kGrabErrorAction), 0);
    QCOMPARE(Rip(settings, keys::kEnableId3v2), 1);
    QCOMPARE(Rip(settings, keys::kOutputFolderConfirmation), 1);
    QCOMPARE(Rip(settings, keys::kConfirmOverwrite), 0);
    QCOMPARE(Rip(settings, keys::kShowSuccess), 0);
    QCOMPARE(Rip(settings, keys::kAutoOpenFolder), 1);
    QCOMPARE(Rip(settings, keys::kVerifyAccurateRip), 0);
    QCOMPARE(Rip(settings, keys::kRipLog), 0);
    QCOMPARE(Rip(settings, keys::kReplayGainMode), 1);
  }

  void ripperDialogKeepsVerifySettingsAndTheDrivesOffset() {
    MemorySettings settings;
    const QString drive = QStringLiteral("ACME CD/RW 9000 1.0");
    const QString other = QStringLiteral("PLEXTOR PX-716A 1.11");
    WriteReadOffset(settings, drive, -472);
    WriteReadOffset(settings, other, 30);
    test::ScriptedUserInterface ui;
    {
      CRipSettings dialog(ui, settings, nullptr, drive);
      dialog.show();
      QVERIFY(QTest::qWaitForWindowExposed(&dialog));
      QVERIFY(dialog.VerifyBox()->isChecked() && dialog.RipLogBox()->isChecked());  // the defaults
      QVERIFY(dialog.AccurateRipUrlEdit()->text().isEmpty());
      QVERIFY(dialog.ReadOffsetBox()->isVisible());
      QCOMPARE(dialog.ReadOffsetBox()->value(), -472);
      QCOMPARE(dialog.ReadOffsetBox()->minimum(), -3000);
      QCOMPARE(dialog.ReadOffsetBox()->maximum(), 3000);
      // Fits a 1024x768 screen with room for the window's frame and a panel.
      QVERIFY2(
          dialog.minimumSizeHint().width() <= 1000 && dialog.minimumSizeHint().height() <= 700,
          qPrintable(
              QStringLiteral("%1x%2").arg(dialog.minimumSizeHint().width()).arg(dialog.minimumSizeHint().height())));
      dialog.VerifyBox()->click();
      QVERIFY(!dialog.AccurateRipUrlEdit()->isEnabled());  // the address follows its box
      dialog.VerifyBox()->click();
      QVERIFY(dialog.AccurateRipUrlEdit()->isEnabled());
      dialog.ReadOffsetBox()->setValue(6);
      dialog.reject();
    }
    QCOMPARE(ReadOffsetFor(settings, drive), -472);  // Cancel wrote nothing

    CRipSettings dialog(ui, settings, nullptr, drive);
    dialog.VerifyBox()->click();
    dialog.RipLogBox()->click();
    dialog.AccurateRipUrlEdit()->setText(QStringLiteral(" http://127.0.0.1:8123/accuraterip/ "));
    dialog.ReadOffsetBox()->setValue(6);
    dialog.accept();
    QCOMPARE(Rip(settings, keys::kVerifyAccurateRip), 0);
    QCOMPARE(Rip(settings, keys::kRipLog), 0);
    QCOMPARE(settings.ReadText(keys::section::kRip, keys::kAccurateRipUrl),
             QStringLiteral("http://127.0.0.1:8123/accuraterip/"));
    QCOMPARE(ReadOffsetFor(settings, drive), 6);
    QCOMPARE(ReadOffsetFor(settings, other), 30);  // another drive keeps its own

    // A disc image (no identifier) has no offset to set; OK leaves every drive's offset alone.
    CRipSettings image(ui, settings);
    image.show();
    QVERIFY(QTest::qWaitForWindowExposed(&image));
    QVERIFY(!image.ReadOffsetBox()->isVisible());
    QVERIFY(!image.VerifyBox()->isChecked() && !image.RipLogBox()->isChecked());
    QCOMPARE(image.AccurateRipUrlEdit()->text(), QStringLiteral("http://127.0.0.1:8123/accuraterip/"));
    QVERIFY(!image.AccurateRipUrlEdit()->isEnabled());
    image.accept();
    QCOMPARE(ReadOffsetFor(settings, drive), 6);
    QCOMPARE(ReadOffsetFor(settings, other), 30);
  }

  void freedbDialogListsServersFollowsProxyBoxAndWritesOnOkOnly() {
    MemorySettings settings;
    settings.WriteNumber(keys::section::kFreeDb, keys::kServerUrlIndex, 40);  // outside the box
    std::unique_ptr<IFreedbClient> client = CreateFreedbClient();
    client->SetServerName(QStringLiteral("cddb.lan"));
    {
      CFreeDBSettings dialog(settings, *client);
      dialog.show();
      QVERIFY(QTest::qWaitForWindowExposed(&dialog));
      // Each host once: the default server, then vgmdb.net for the place that first holds it.
      QCOMPARE(dialog.ServerBox()->count(), 2);
      QCOMPARE(dialog.ServerBox()->itemText(0), DefaultFreedbServer());
      QCOMPARE(dialog.ServerBox()->itemText(1), QStringLiteral("vgmdb.net"));
      QCOMPARE(dialog.ServerBox()->currentIndex(), 0);
      QCOMPARE(client->GetServerName(), QStringLiteral("cddb.lan"));
      QCOMPARE(dialog.ProxyEdit()->text(), QStringLiteral("proxy.example.com:80"));
      // The stored stand-in is a hint, not a value that reads as sent.
      QCOMPARE(dialog.EmailEdit()->text(), QString());
      QCOMPARE(dialog.EmailEdit()->placeholderText(), QStringLiteral("someone@example.com"));
      QVERIFY(dialog.ServerNameEdit()->isEnabled());
      dialog.ServerBox()->setCurrentIndex(1);
      QVERIFY(!dialog.ServerNameEdit()->isEnabled());  // a listed server ignores the own name
      QVERIFY(dialog.findChild<QLabel*>(QStringLiteral("proxyPortNote")) != nullptr);
      QVERIFY(!dialog.ProxyEdit()->isEnabled());
      dialog.UseProxyBox()->click();
      QVERIFY(dialog.ProxyEdit()->isEnabled());
      dialog.UseProxyBox()->click();
      QVERIFY(!dialog.ProxyEdit()->isEnabled());
      dialog.ProxyEdit()->setText(QStringLiteral("cache:8080"));
      dialog.reject();
    }
    QCOMPARE(Freedb(settings, keys::kServerUrlIndex), 40);
    QCOMPARE(Freedb(settings, keys::kServerPort), 80);
    QCOMPARE(settings.ReadText(keys::section::kFreeDb, keys::kProxyUrl), QStringLiteral("proxy.example.com"));

    CFreeDBSettings dialog(settings, *client);
    dialog.UseProxyBox()->click();
    dialog.AutoQueryBox()->setChecked(true);
    dialog.ServerBox()->setCurrentIndex(1);
    dialog.ProxyEdit()->setText(QStringLiteral("cache:8080"));
    dialog.EmailEdit()->setText(QStringLiteral("me@example.org"));
    dialog.accept();
    QCOMPARE(Freedb(settings, keys::kAutoQuery), 1);
    QCOMPARE(Freedb(settings, keys::kServerUrlIndex), 2);
    QCOMPARE(Freedb(settings, keys::kUseProxy), 1);
    QCOMPARE(Freedb(settings, keys::kServerPort), 8080);
    QCOMPARE(settings.ReadText(keys::section::kFreeDb, keys::kProxyUrl), QStringLiteral("cache"));
    QCOMPARE(settings.ReadText(keys::section::kFreeDb, keys::kClientEmail), QStringLiteral("me@example.org"));

    CFreeDBSettings again(settings, *client);
    QCOMPARE(again.ServerBox()->currentIndex(), 1);
    QCOMPARE(again.EmailEdit()->text(), QStringLiteral("me@example.org"));
    again.EmailEdit()->clear();
    again.accept();  // an emptied address stores the stand-in, as an absent one always did
    QCOMPARE(settings.ReadText(keys::section::kFreeDb, keys::kClientEmail), QStringLiteral("someone@example.com"));
    settings.WriteNumber(keys::section::kFreeDb, keys::kServerUrlIndex, 5);  // a place that repeats the default
    QCOMPARE(CFreeDBSettings(settings, *client).ServerBox()->currentIndex(), 0);
    QVERIFY(again.ProxyEdit()->isEnabled());
    QCOMPARE(again.ProxyEdit()->text(), QStringLiteral("cache:8080"));
  }

  void freedbDialogChoosesServiceAndOwnServers() {
    MemorySettings settings;
    settings.WriteNumber(keys::section::kFreeDb, keys::kFreedbSource, 1);
    settings.WriteText(keys::section::kFreeDb, keys::kServerName, QStringLiteral("cddb.lan"));
    settings.WriteText(keys::section::kFreeDb, keys::kMusicBrainzUrl, QStringLiteral("http://mb.lan"));
    std::unique_ptr<IFreedbClient> client = CreateFreedbClient();
    const auto text = [&](const char* value) { return settings.ReadText(keys::section::kFreeDb, value); };
    {
      CFreeDBSettings dialog(settings, *client);
      QCOMPARE(dialog.ServiceBox()->currentIndex(), 1);
      QCOMPARE(dialog.ServiceBox()->currentText(), QStringLiteral("MusicBrainz"));
      QCOMPARE(dialog.ServerNameEdit()->text(), QStringLiteral("cddb.lan"));
      QCOMPARE(dialog.MusicBrainzUrlEdit()->text(), QStringLiteral("http://mb.lan"));
      QCOMPARE(dialog.ServerBox()->itemText(0), QStringLiteral("cddb.lan"));  // the own server replaces the default
      QVERIFY(!dialog.ServerBox()->isEnabled() && !dialog.ServerNameEdit()->isEnabled());
      QVERIFY(dialog.MusicBrainzUrlEdit()->isEnabled());
      dialog.ServiceBox()->setCurrentIndex(0);
      QVERIFY(dialog.ServerBox()->isEnabled() && dialog.ServerNameEdit()->isEnabled());
      QVERIFY(!dialog.MusicBrainzUrlEdit()->isEnabled());
      dialog.ServerNameEdit()->setText(QStringLiteral("  "));
      QCOMPARE(dialog.ServerBox()->itemText(0), DefaultFreedbServer());
      dialog.MusicBrainzUrlEdit()->setText(QStringLiteral("http://other.lan"));
      dialog.reject();
    }
    QCOMPARE(Freedb(settings, keys::kFreedbSource), 1);
    QCOMPARE(text(keys::kServerName), QStringLiteral("cddb.lan"));
    QCOMPARE(text(keys::kMusicBrainzUrl), QStringLiteral("http://mb.lan"));

    CFreeDBSettings dialog(settings, *client);
    dialog.ServiceBox()->setCurrentIndex(0);
    dialog.ServerNameEdit()->setText(QStringLiteral(" 127.0.0.1:8123 "));
    QCOMPARE(dialog.ServerBox()->itemText(0), QStringLiteral("127.0.0.1:8123"));
    QCOMPARE(dialog.ServerBox()->itemText(1), QStringLiteral("vgmdb.net"));  // the listed ones stay
    dialog.MusicBrainzUrlEdit()->setText(QString());
    dialog.accept();
    QCOMPARE(Freedb(settings, keys::kFreedbSource), 0);
    QCOMPARE(text(keys::kServerName), QStringLiteral("127.0.0.1:8123"));
    QCOMPARE(text(keys::kMusicBrainzUrl), QString());
  }
};

QTEST_MAIN(RipperSettingsDialogsTest)
#include "RipperSettingsDialogs_test.moc"
