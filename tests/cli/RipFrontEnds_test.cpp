// The window's rip and corvane-cli's rip of one generated disc image with the same settings: the
// same files byte for byte, the same tags as ffprobe reads them, and the same log but for its date.
#include <gtest/gtest.h>

#include <QDir>
#include <QJsonObject>
#include <QSettings>

#include "common/MemorySettings.h"
#include "common/SettingsKeys.h"
#include "common/StringTable.h"
#include "common/strings/RipperText.h"
#include "components/IAudioCDGrabber.h"
#include "engine/CAudioEngine.h"
#include "presets/COutputQualityMgmt.h"
#include "ripper/RipRun.h"
#include "ripper/RipperTestKit.h"
#include "support/CliFixture.h"
#include "support/DiscImageFixture.h"
#include "support/ExternalTools.h"
#include "support/LoopbackHttpServer.h"
#include "support/ScriptedUserInterface.h"

namespace corvane {
namespace {

struct FrontEndCase {
  const char* name;
  FormatCode format;
  int grab_mode;  // 4: MP3 at the disc's rate goes to the grabber's own grab
};

class RipFrontEndsTest : public test::CliFixture, public ::testing::WithParamInterface<FrontEndCase> {
 protected:
  void SetUp() override {
    CliFixture::SetUp();
    disc_ = test::DiscImageFixture(Path(QStringLiteral("images")))
                .Build(QStringLiteral("disc"), {{{.sectors = 80, .title = QStringLiteral("Intro")},
                                                 {.sectors = 61, .title = QStringLiteral("Who?")}},
                                                QStringLiteral("Live: 1992"),
                                                QStringLiteral("AC/DC")});
    const QString url = QStringLiteral("http://127.0.0.1:%1/ar/").arg(test::ClosedLoopbackPort());
    QSettings cli(Path(QStringLiteral("config/Quillon/Bexlor.conf")), QSettings::IniFormat);
    window_settings_.WriteNumber(keys::section::kRip, keys::kGrabModePreset, GetParam().grab_mode);
    window_settings_.WriteNumber(keys::section::kRip, keys::kEnableId3v2, 1);
    window_settings_.WriteText(keys::section::kRip, keys::kAccurateRipUrl, url);
    cli.setValue(QStringLiteral("Rip Setting/Grab Mode Preset"), GetParam().grab_mode);
    cli.setValue(QStringLiteral("Rip Setting/Enable ID3v2"), 1);
    cli.setValue(QStringLiteral("Rip Setting/AccurateRip URL"), url);
  }

  void RipWithCli(const QString& folder) const {
    const QString format = catalogue::ExtensionOf(GetParam().format).mid(1).toLower();
    const test::ToolResult run =
        Cli({QStringLiteral("rip"), QStringLiteral("--device"), disc_.cue, QStringLiteral("--output"), folder,
             QStringLiteral("--output-name"), kPattern, QStringLiteral("--format"), format, QStringLiteral("--rate"),
             QStringLiteral("44100"), QStringLiteral("--channels"), QStringLiteral("2"), QStringLiteral("--bitrate"),
             QStringLiteral("128")});
    ASSERT_EQ(run.exitCode, 0) << run.out.constData() << run.err.constData();
  }

  void RipWithWindow(const QString& folder) {
    CAudioEngine engine;
    ASSERT_TRUE(engine.BindAll().Succeeded());
    test::ScriptedUserInterface ui;
    COutputQualityMgmt presets(window_settings_);
    presets.Load(QString(), ui);
    const std::unique_ptr<IAudioCDGrabber> grabber = CreateAudioCDGrabber();
    grabber->SetDiscImages({disc_.cue});
    ASSERT_TRUE(grabber->InitDevices().Succeeded());
    ASSERT_TRUE(grabber->SetCurrentDrive(grabber->GetDriveCount()).Succeeded());
    ASSERT_TRUE(grabber->RefreshDisc().Succeeded());
    test::RecordingRipperView view;
    view.rows = {{QStringLiteral("1"), QStringLiteral("Intro"), {}, {}, {}},
                 {QStringLiteral("2"), QStringLiteral("Who?"), {}, {}, {}}};
    RipRunStart start;
    start.device = grabber->GetDrivePath();
    start.output_folder_field = folder;
    start.output_name = kPattern;
    start.settings = {.format = GetParam().format, .sample_rate = 44100, .bitrate = 128, .channels = 2};
    start.artist = QStringLiteral("AC/DC");
    start.album = QStringLiteral("Live: 1992");
    RipRun(view, ui, window_settings_, grabber.get(), presets.Mp3Encoder()).Run(start);
    ASSERT_EQ(view.Column(&TrackRowTexts::status), QStringList(2, StringTable::Text(text::kRipCompleted)))
        << ui.MessageTexts().join(QLatin1Char('\n')).toStdString();
  }

  static QString LogWithoutDate(const QString& path) {
    QStringList lines = QString::fromUtf8(test::ReadAll(path)).split(QLatin1Char('\n'));
    const QString date = StringTable::Text(text::kRipLogDate);
    EXPECT_EQ(lines.removeIf([&](const QString& line) { return line.trimmed().startsWith(date); }), 1);
    return lines.join(QLatin1Char('\n'));
  }

  const QString kPattern = QStringLiteral("%M\\%N-%T");
  test::DiscImage disc_;
  MemorySettings window_settings_{Path(QStringLiteral("window-settings"))};
};

TEST_P(RipFrontEndsTest, BothFrontEndsWriteTheSameFilesTagsAndLog) {
  // One output folder, so that the logs name the same files: the CLI's rip is moved aside first.
  const QString out = Path(QStringLiteral("out"));
  RipWithCli(out);
  ASSERT_TRUE(QDir().rename(out, Path(QStringLiteral("cli"))));
  RipWithWindow(out);
  const QDir cli(Path(QStringLiteral("cli/Live_ 1992")));
  const QDir window(out + QStringLiteral("/Live_ 1992"));
  const QString extension = catalogue::ExtensionOf(GetParam().format);
  const QStringList files = window.entryList(QDir::Files | QDir::Hidden, QDir::Name);
  ASSERT_EQ(files, QStringList({QStringLiteral("01-Intro") + extension, QStringLiteral("02-Who_") + extension,
                                QStringLiteral("Live_ 1992.log")}));
  EXPECT_EQ(cli.entryList(QDir::Files | QDir::Hidden, QDir::Name), files);
  for (const QString& name : files.mid(0, 2)) {
    SCOPED_TRACE(name.toStdString());
    EXPECT_TRUE(test::ReadAll(window.filePath(name)) == test::ReadAll(cli.filePath(name)));
    const QJsonObject tags = test::ProbeWithFfprobe(window.filePath(name)).value(QStringLiteral("tags")).toObject();
    EXPECT_EQ(tags, test::ProbeWithFfprobe(cli.filePath(name)).value(QStringLiteral("tags")).toObject());
    EXPECT_EQ(tags.value(tags.contains(QStringLiteral("album")) ? QStringLiteral("album") : QStringLiteral("ALBUM")),
              QStringLiteral("Live: 1992"));
  }
  const QString log = LogWithoutDate(window.filePath(files[2]));
  EXPECT_EQ(log, LogWithoutDate(cli.filePath(files[2])));
  EXPECT_TRUE(log.contains(window.filePath(files[1]))) << log.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Paths, RipFrontEndsTest,
                         ::testing::Values(FrontEndCase{"Mp3ThroughTheGrabbersGrab", FormatCode::Mp3, 4},
                                           FrontEndCase{"FlacThroughTheEngineStream", FormatCode::Flac, 2}),
                         [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace corvane
