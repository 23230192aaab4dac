#include "cli/DiscCommand.h"

#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

#include "cli/CommandParsing.h"
#include "cli/DiscDevice.h"
#include "cli/DiscLookup.h"
#include "common/StringTable.h"
#include "common/strings/CliText.h"
#include "common/strings/RipperText.h"
#include "components/IAudioCDGrabber.h"
#include "components/grabber/TypeNames.h"

namespace corvane::cli {
namespace {

void Print(const QString& line) { std::fputs(qPrintable(line + QLatin1Char('\n')), stdout); }

void PrintJson(const QJsonValue& value) {
  const QJsonDocument document = value.isArray() ? QJsonDocument(value.toArray()) : QJsonDocument(value.toObject());
  Print(QString::fromUtf8(document.toJson(QJsonDocument::Compact)));
}

QString LengthText(int sectors) {
  const int seconds = sectors / 75;
  return StringTable::Format(text::kTrackPositionTime, {seconds / 60, seconds % 60});
}

int ListDrives(IAudioCDGrabber& grabber, bool json) {
  QJsonArray drives;
  if (grabber.InitDevices().Succeeded()) {
    for (int drive = 1; drive <= grabber.GetDriveCount(); ++drive) {
      if (grabber.SetCurrentDrive(drive).Failed()) continue;
      if (json) {
        drives.append(QJsonObject{{QStringLiteral("id"), grabber.GetDriveId()},
                                  {QStringLiteral("text1"), grabber.GetDriveText1()},
                                  {QStringLiteral("text2"), grabber.GetDriveText2()},
                                  {QStringLiteral("path"), grabber.GetDrivePath()}});
      } else {
        Print(StringTable::Format(text::kDriveLine,
                                  {grabber.GetDriveId(), grabber.GetDriveText1(), grabber.GetDriveText2()})
                  .trimmed());
      }
    }
  }
  if (json)
    PrintJson(drives);
  else if (drives.isEmpty() && grabber.GetDriveCount() == 0)
    PrintError(StringTable::Text(text::kNoDrivesFound));
  return kExitOk;
}

struct TrackRow {
  int number;
  CdTrackType type;
  int sectors;
};

std::vector<std::vector<TrackRow>> ReadSessions(IAudioCDGrabber& grabber) {
  std::vector<std::vector<TrackRow>> sessions;
  for (int session = 0; session < grabber.GetSessionCount(); ++session) {
    if (grabber.SetCurrentSession(session).Failed()) break;
    auto& rows = sessions.emplace_back();
    for (int track = 0; track < grabber.GetTrackCount(); ++track) {
      if (grabber.SetCurrentTrack(track).Failed()) break;
      rows.push_back({grabber.GetTrackNumber(), grabber.GetTrackType(), grabber.GetTrackSectors()});
    }
  }
  return sessions;
}

void PrintDiscText(IAudioCDGrabber& grabber, const QString& device,
                   const std::vector<std::vector<TrackRow>>& sessions) {
  Print(StringTable::Format(text::kDiscHeader, {device, StringTable::Text(text::kDiscPresent),
                                                MediaTypeName(grabber.GetMediaType()), grabber.GetDiscId()}));
  for (size_t s = 0; s < sessions.size(); ++s) {
    Print(StringTable::Format(text::kSessionLine, {static_cast<int>(s + 1)}));
    for (const TrackRow& row : sessions[s])
      Print(StringTable::Format(text::kTrackLine,
                                {row.number, TrackTypeName(row.type), LengthText(row.sectors), row.sectors}));
  }
  const QStringList cdText = grabber.GetCdText();
  if (cdText.isEmpty()) return;
  Print(StringTable::Text(text::kCdTextHeader));
  for (const QString& line : cdText) Print(StringTable::Format(text::kCdTextLine, {line}));
}

QJsonObject DiscJson(IAudioCDGrabber& grabber, const QString& device,
                     const std::vector<std::vector<TrackRow>>& sessions) {
  QJsonArray sessionArray;
  for (size_t s = 0; s < sessions.size(); ++s) {
    QJsonArray tracks;
    for (const TrackRow& row : sessions[s]) {
      tracks.append(QJsonObject{{QStringLiteral("number"), row.number},
                                {QStringLiteral("type"), static_cast<int>(row.type)},
                                {QStringLiteral("type_name"), TrackTypeName(row.type)},
                                {QStringLiteral("length"), LengthText(row.sectors)},
                                {QStringLiteral("sectors"), row.sectors}});
    }
    sessionArray.append(
        QJsonObject{{QStringLiteral("number"), static_cast<int>(s + 1)}, {QStringLiteral("tracks"), tracks}});
  }
  QJsonObject cdText;
  for (const QString& line : grabber.GetCdText()) {
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    cdText.insert(line.left(equals), line.mid(equals + 1));
  }
  return QJsonObject{
      {QStringLiteral("device"), device},
      {QStringLiteral("state"), static_cast<int>(grabber.GetDiscState())},
      {QStringLiteral("media_type"), grabber.GetMediaType()},
      {QStringLiteral("media"), MediaTypeName(grabber.GetMediaType())},
      {QStringLiteral("cddb_id"), QStringLiteral("%1").arg(grabber.GetDiscId(), 8, 16, QLatin1Char('0'))},
      {QStringLiteral("sessions"), sessionArray},
      {QStringLiteral("cd_text"), cdText}};
}

// `lookup`: the service to ask after the listing, if any.
int DescribeDisc(IAudioCDGrabber& grabber, const QString& device, bool json, std::optional<LookupSource> lookup,
                 SettingsStore& settings) {
  QString reason = ChooseDevice(grabber, device);
  if (reason.isEmpty()) {
    const GrabberResult refreshed = grabber.RefreshDisc();
    if (refreshed.Failed())
      reason = refreshed.text;
    else if (grabber.GetDiscState() != DiscState::Present)
      reason = StringTable::Text(text::kUnrecognisedDisc);
  }
  if (!reason.isEmpty()) {
    PrintError(StringTable::Format(text::kNoReadableDisc, {device, reason}));
    return kExitSomeFailed;
  }
  const auto sessions = ReadSessions(grabber);
  if (!json) PrintDiscText(grabber, device, sessions);
  std::optional<DiscLookupOutcome> outcome;
  if (lookup) outcome = LookUpDisc(grabber, settings, *lookup);
  if (json) {
    QJsonObject disc = DiscJson(grabber, device, sessions);
    if (outcome) AddLookupJson(*outcome, disc);
    PrintJson(disc);
  } else if (outcome) {
    PrintLookup(*outcome);
  }
  if (!outcome || outcome->found) return kExitOk;
  PrintError(outcome->failure);
  return kExitSomeFailed;
}

// The service a --lookup value names.
std::optional<LookupSource> LookupSourceNamed(const QString& name) {
  if (name.compare(QLatin1String("freedb"), Qt::CaseInsensitive) == 0) return LookupSource::Freedb;
  if (name.compare(QLatin1String("musicbrainz"), Qt::CaseInsensitive) == 0) return LookupSource::MusicBrainz;
  return std::nullopt;
}

}  // namespace

int RunDiscCommand(const QStringList& arguments, SettingsStore& settings) {
  QCommandLineParser parser;
  parser.setApplicationDescription(StringTable::Text(text::kDiscDescription));
  parser.addPositionalArgument(QStringLiteral("disc"), StringTable::Text(text::kCliTheCommand));
  parser.addOption({QStringLiteral("device"), StringTable::Text(text::kDiscDeviceHelp), QStringLiteral("PATH")});
  parser.addOption({QStringLiteral("json"), StringTable::Text(text::kDiscJsonHelp)});
  parser.addOption(
      {QStringLiteral("lookup"), StringTable::Text(text::kDiscLookupHelp), QStringLiteral("freedb|musicbrainz")});
  if (const std::optional<int> done = ParseCommand(parser, arguments)) return *done;
  const bool hasDevice = parser.isSet(QStringLiteral("device"));
  const bool hasLookup = parser.isSet(QStringLiteral("lookup"));
  const std::optional<LookupSource> lookup =
      hasLookup ? LookupSourceNamed(parser.value(QStringLiteral("lookup"))) : std::nullopt;
  if (parser.positionalArguments().size() > 1 || (hasDevice && parser.value(QStringLiteral("device")).isEmpty()) ||
      (hasLookup && (!lookup || !hasDevice))) {
    PrintError(StringTable::Text(text::kDiscUsage));
    return kExitUsage;
  }
  const std::unique_ptr<IAudioCDGrabber> grabber = CreateAudioCDGrabber();
  const bool json = parser.isSet(QStringLiteral("json"));
  if (!hasDevice) return ListDrives(*grabber, json);
  return DescribeDisc(*grabber, parser.value(QStringLiteral("device")), json, lookup, settings);
}

}  // namespace corvane::cli
