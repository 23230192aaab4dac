#pragma once

// Numbers of corvane-cli's texts in the string table (cli.inc). Printf-style fields, filled by
// StringTable::Format.
namespace corvane::text {
inline constexpr int kCliUsage = 26000;
inline constexpr int kCliVersionLine = 26001;  // "corvane-cli %s"
inline constexpr int kCliLibrariesMissing = 26002;
inline constexpr int kCliUnknownCommand = 26003;
inline constexpr int kCliMessagePrefix = 26004;  // "corvane-cli: "
inline constexpr int kCliOverwritePrompt = 26005;
inline constexpr int kCliFileCount = 26006;  // "%d/%d files"
inline constexpr int kCliTheCommand = 26007;

inline constexpr int kConvertDescription = 26010;
inline constexpr int kConvertPathsHelp = 26011;
inline constexpr int kTypeHelp = 26012;
inline constexpr int kNoSubfoldersHelp = 26013;
inline constexpr int kOutputHelp = 26014;
inline constexpr int kSameFolderHelp = 26015;
inline constexpr int kNormalizeHelp = 26016;
inline constexpr int kNoTagsHelp = 26017;
inline constexpr int kOverwriteHelp = 26018;
inline constexpr int kSkipExistingHelp = 26019;
inline constexpr int kRenameHelp = 26020;
inline constexpr int kJobsHelp = 26021;
inline constexpr int kConvertJsonHelp = 26022;

inline constexpr int kExistingChoicesExclusive = 26030;
inline constexpr int kNormalizeNotANumber = 26031;
inline constexpr int kJobsNotANumber = 26032;
inline constexpr int kOutputChoicesExclusive = 26033;
inline constexpr int kNoOutputChoice = 26034;
inline constexpr int kUnknownInputType = 26035;
inline constexpr int kNoSuchPath = 26036;
inline constexpr int kNothingGiven = 26037;

inline constexpr int kPresetHelp = 26040;
inline constexpr int kChoiceListHelp = 26041;  // "%s or %s.": all choices but the last, comma separated, and the last
inline constexpr int kRateHelp = 26042;
inline constexpr int kBitrateHelp = 26043;
inline constexpr int kChannelsHelp = 26044;
inline constexpr int kBitsHelp = 26045;
inline constexpr int kVbrHelp = 26046;
inline constexpr int kVbrQualityHelp = 26047;
inline constexpr int kWmaQualityHelp = 26048;
inline constexpr int kOptionNotANumber = 26049;  // "--%s takes a whole number, not '%s'"
inline constexpr int kUnknownPreset = 26050;
inline constexpr int kUnknownFormat = 26051;
inline constexpr int kUnknownMusepackPreset = 26052;
inline constexpr int kRateNotOffered = 26053;
inline constexpr int kBitrateNotOffered = 26054;
inline constexpr int kChannelsRange = 26055;
inline constexpr int kBitsRange = 26056;
inline constexpr int kVbrQualityRange = 26057;
inline constexpr int kUnknownWavCodec = 26058;

inline constexpr int kPresetsDescription = 26060;
inline constexpr int kPresetsActionHelp = 26061;
inline constexpr int kPresetsNameHelp = 26062;
inline constexpr int kPresetsUsage = 26063;
inline constexpr int kNoPresetNamed = 26064;
inline constexpr int kPresetDescription = 26065;
inline constexpr int kOn = 26066;
inline constexpr int kOff = 26067;

inline constexpr int kProbeDescription = 26070;
inline constexpr int kProbePathsHelp = 26071;
inline constexpr int kProbeJsonHelp = 26072;
inline constexpr int kNothingToProbe = 26073;
inline constexpr int kProbeLine = 26074;  // path, description, length, size

inline constexpr int kDiscDescription = 26080;
inline constexpr int kDiscDeviceHelp = 26081;
inline constexpr int kDiscJsonHelp = 26082;
inline constexpr int kNoReadableDisc = 26083;
inline constexpr int kDriveLine = 26084;
inline constexpr int kDiscHeader = 26085;
inline constexpr int kSessionLine = 26086;
inline constexpr int kTrackLine = 26087;
inline constexpr int kCdTextHeader = 26088;
inline constexpr int kCdTextLine = 26089;
inline constexpr int kDiscPresent = 26090;
inline constexpr int kNoDrivesFound = 26091;
inline constexpr int kDiscUsage = 26092;
inline constexpr int kDiscLookupHelp = 26093;
inline constexpr int kMusicBrainzIdLine = 26094;  // disc ID, or the text of 26100
inline constexpr int kLookupHeader = 26095;       // service name
inline constexpr int kLookupArtistLine = 26096;
inline constexpr int kLookupAlbumLine = 26097;
inline constexpr int kLookupYearLine = 26098;
inline constexpr int kLookupGenreLine = 26099;
inline constexpr int kNoMusicBrainzId = 26100;
inline constexpr int kLookupTitleLine = 26101;  // track number, title
inline constexpr int kRipDescription = 26111;
inline constexpr int kRipDeviceHelp = 26112;
inline constexpr int kRipTracksHelp = 26113;
inline constexpr int kRipLookupHelp = 26114;
inline constexpr int kRipOutputHelp = 26115;
inline constexpr int kRipOutputNameHelp = 26116;
inline constexpr int kRipGrabModeHelp = 26117;
inline constexpr int kRipRetriesHelp = 26118;
inline constexpr int kRipErrorActionHelp = 26119;
inline constexpr int kRipJsonHelp = 26120;
inline constexpr int kRipUsage = 26121;
inline constexpr int kRipBadTracks = 26122;
inline constexpr int kRipNoSuchTrack = 26123;
inline constexpr int kRipDataTrack = 26124;
inline constexpr int kRipNoAudioTrack = 26125;
inline constexpr int kRipBadLookup = 26126;
inline constexpr int kRipBadGrabMode = 26127;
inline constexpr int kRipBadRetries = 26128;
inline constexpr int kRipBadErrorAction = 26129;
inline constexpr int kRipTrackName = 26130;
inline constexpr int kRipLookupFallback = 26131;  // why the look-up found nothing
inline constexpr int kRipJobsHelp = 26141;
}  // namespace corvane::text
