#pragma once
#include "common/strings/ConverterText.h"  // kCoreComponentsFailed (106), shared with the converter
#include "common/strings/FormatText.h"     // kStatusOutput, shown when playback stops; kLoadingQualities (368)

// Numbers of the ripper's texts in the string table (ripper.inc): drives and disc loading, the
// track list, track playback and the ripper and freedb settings dialogs.
namespace corvane::text {
inline constexpr int kFreedbTip = 103;
inline constexpr int kNoFreedbInfoMessage = 114;
inline constexpr int kClosingTray = 148;
inline constexpr int kOpeningTray = 149;
inline constexpr int kCheckingDisc = 150;
inline constexpr int kLoadingCdText = 151;
inline constexpr int kUpdatingTracks = 152;
inline constexpr int kTrackListColumns = 276;
inline constexpr int kEjectDisc = 277;
inline constexpr int kInsertDisc = 278;
inline constexpr int kNoAppropriateDrives = 280;
inline constexpr int kSelectTrackToPlay = 285;
inline constexpr int kPreviousTrackTooltip = 286;
inline constexpr int kNextTrackTooltip = 287;
inline constexpr int kPlayTrackTooltip = 288;
inline constexpr int kDefaultOutputName = 291;
inline constexpr int kDevicesInitialised = 294;
inline constexpr int kDevicesInitFailed = 295;
inline constexpr int kFreedbConnecting = 298;
inline constexpr int kFreedbConnectFailed = 299;
inline constexpr int kNoFreedbInfo = 300;
inline constexpr int kFreedbRetrieved = 301;
inline constexpr int kFreedbPreparing = 303;
inline constexpr int kLoadingTracks = 304;
inline constexpr int kNoDisc = 305;
inline constexpr int kEmptyDisc = 306;
inline constexpr int kUnrecognisedDisc = 307;
inline constexpr int kEmptyDiscMessage = 308;
inline constexpr int kDiscLoaded = 309;
inline constexpr int kDiscLoadFailed = 310;
inline constexpr int kOpeningTrack = 311;
inline constexpr int kPlayingTrack = 312;
inline constexpr int kInitialisingDevices = 313;
inline constexpr int kNoDrivesDetected = 315;
inline constexpr int kStartPlayFailed = 316;
inline constexpr int kDiscLoadFailedMessage = 317;
inline constexpr int kOnlyAudioPlayable = 318;
inline constexpr int kPlayFailed = 319;
inline constexpr int kStopPlayFailed = 320;
inline constexpr int kSeekFailed = 321;
inline constexpr int kFreedbQuerying = 333;

inline constexpr int kTrackTypeAudio = 24001;
inline constexpr int kTrackTypeMode1 = 24002;
inline constexpr int kTrackTypeMode2 = 24003;
inline constexpr int kTrackTypeMode2Form1 = 24004;
inline constexpr int kTrackTypeMode2Form2 = 24005;
inline constexpr int kUnrecognised = 24006;
inline constexpr int kMediaTypeFirst = 24010;  // CD-ROM; media types 0..8 follow in order
inline constexpr int kMediaTypeLast = 24018;   // DVD-RAM

inline constexpr int kTrackLoaded = 24020;
inline constexpr int kRipperIdle = 24021;
inline constexpr int kTrackPlay = 24022;
inline constexpr int kTrackStop = 24023;
inline constexpr int kLoadDiscButton = 24024;
inline constexpr int kAutoLoadBox = 24025;
inline constexpr int kEjectButton = 24026;
inline constexpr int kTrackPositionLabel = 24027;
inline constexpr int kTrackPositionTime = 24028;
inline constexpr int kTrackLength = 24029;
inline constexpr int kTrackNumber = 24030;
inline constexpr int kDeviceLabel = 24031;
inline constexpr int kFreedbButton = 24032;
inline constexpr int kArtistLabel = 24033;
inline constexpr int kAlbumLabel = 24034;
inline constexpr int kYearLabel = 24035;
inline constexpr int kGenreLabel = 24036;

inline constexpr int kOpenDiscImageButton = 24040;
inline constexpr int kOpenDiscImageCaption = 24041;
inline constexpr int kDiscImageFilter = 24042;
inline constexpr int kDiscImageMissing = 24043;
inline constexpr int kDiscImageHasNoTray = 24044;
inline constexpr int kDiscImageDriveText = 24045;
inline constexpr int kDiscImageUnreadable = 24046;

inline constexpr int kFreedbTipsCaption = 24050;
inline constexpr int kPopupOk = 24051;
inline constexpr int kPopupCancel = 24052;
inline constexpr int kPopupDontShowAgain = 24053;

inline constexpr int kRipSettingsCaption = 24060;
inline constexpr int kGrabModeFastRadio = 24061;  // the four grab-mode radios follow in order
inline constexpr int kRetriesLabel = 24065;
inline constexpr int kErrorActionStopRadio = 24066;  // the three error-action radios follow in order
inline constexpr int kWriteId3v2Box = 24069;
inline constexpr int kRipFolderConfirmationBox = 24070;
inline constexpr int kRipConfirmOverwriteBox = 24071;
inline constexpr int kRipShowSuccessBox = 24072;
inline constexpr int kRipAutoOpenFolderBox = 24073;
inline constexpr int kGrabModeGroup = 24074;
inline constexpr int kErrorActionGroup = 24075;
inline constexpr int kEnterInteger = 24076;

inline constexpr int kFreedbSettingsCaption = 24080;
inline constexpr int kAutoQueryBox = 24081;
inline constexpr int kServerUrlLabel = 24082;
inline constexpr int kEmailLabel = 24083;
inline constexpr int kUseProxyBox = 24084;

inline constexpr int kGrabNotAvailable = 24100;
inline constexpr int kFreedbQueryNotAvailable = 24101;
inline constexpr int kNoDriveChosen = 24102;
inline constexpr int kNoSuchDrive = 24103;
inline constexpr int kDriveUnopenable = 24104;
inline constexpr int kDiscImageGone = 24105;
inline constexpr int kDiscImageRefused = 24160;
inline constexpr int kNoDriveToLoad = 24170;       // Load disc without a drive or an image
inline constexpr int kNoDrivePlaceholder = 24171;  // the empty device box
inline constexpr int kRemoveDiscImageButton = 24172;
inline constexpr int kNoAudioOutput = 24173;  // the sound system's words
inline constexpr int kNoSuchSession = 24106;
inline constexpr int kNoSuchTrack = 24107;
inline constexpr int kNotAudioTrack = 24108;
inline constexpr int kNoTrackOpen = 24109;
inline constexpr int kSectorUnreadable = 24110;
inline constexpr int kNoDrivesOrImages = 24111;
inline constexpr int kTrayFailed = 24112;
inline constexpr int kTrayStatusUnknown = 24113;
inline constexpr int kSeekOutsideTrack = 24114;
inline constexpr int kSeekOriginUnsupported = 24115;
inline constexpr int kCarefulReadUnavailable = 24116;
inline constexpr int kImageHoldsNoTrack = 24117;  // track number
inline constexpr int kGrabRunning = 24600;
inline constexpr int kGrabOutputFailed = 24601;
inline constexpr int kGrabAborted = 24602;
inline constexpr int kGrabNoEncoder = 24603;
inline constexpr int kNoGrabYet = 24604;
inline constexpr int kUnknownLookupSource = 24400;
inline constexpr int kEmailSentNote = 24200;
inline constexpr int kProxyPlaceholder = 24201;
inline constexpr int kProxyPortShared = 24202;
inline constexpr int kMusicBrainzName = 24450;
inline constexpr int kMusicBrainzAtHost = 24451;
inline constexpr int kLookupServiceLabel = 24452;
inline constexpr int kFreedbServiceEntry = 24453;  // the service box: this, then kMusicBrainzName
inline constexpr int kServerNameLabel = 24454;
inline constexpr int kMusicBrainzUrlLabel = 24455;
inline constexpr int kDefaultValuePlaceholder = 24456;

inline constexpr int kOutputNameTips = 292;
inline constexpr int kRipFolderTooltip = 327;
inline constexpr int kRipFolderChooserTitle = 352;
inline constexpr int kRipFolderLabel = 24500;
inline constexpr int kOutputNameLabel = 24501;
inline constexpr int kRipFolderBrowse = 24502;
inline constexpr int kOutputNameTipsButton = 24503;

// The rip run.
inline constexpr int kRipUnableToCreate = 122;
inline constexpr int kRipAlreadyExists = 123;
inline constexpr int kRipStartFailedCode = 156;
inline constexpr int kRipCompleted = 258;
inline constexpr int kRipFailed = 259;
inline constexpr int kRipCancelled = 261;
inline constexpr int kRipIdle = 262;
inline constexpr int kRipWaiting = 263;
inline constexpr int kRipNoTracks = 281;
inline constexpr int kRipNoneChecked = 282;
inline constexpr int kRipSkipped = 283;
inline constexpr int kRipTrackFailed = 284;
inline constexpr int kRipGrabbing = 289;
inline constexpr int kRipGrabStartFailed = 296;
inline constexpr int kRipReadAttempts = 297;
inline constexpr int kRipCancelling = 302;
inline constexpr int kRipReadError = 314;
inline constexpr int kRipStartTooltip = 322;
inline constexpr int kRipStartButton = 323;
inline constexpr int kRipStopButton = 328;
inline constexpr int kRipStopTooltip = 329;
inline constexpr int kRipSucceeded = 351;
inline constexpr int kRipFolderFailed = 354;
inline constexpr int kRipTrackLabel = 24630;  // word # ordinal/total - title
inline constexpr int kRipNotEveryTrackHeading = 24631;
inline constexpr int kRipNoTrackHeading = 24632;

// AccurateRip verdicts.
inline constexpr int kAccurateRipAccurate = 24700;  // confidence
inline constexpr int kAccurateRipNotAccurate = 24701;
inline constexpr int kAccurateRipNotInDatabase = 24702;
inline constexpr int kAccurateRipUnreachable = 24703;
inline constexpr int kAccurateRipSummary = 24704;              // accurate tracks, tracks
inline constexpr int kAccurateRipDatabaseFound = 24705;        // disc ID name
inline constexpr int kAccurateRipDatabaseNotFound = 24706;     // disc ID name
inline constexpr int kAccurateRipDatabaseUnreachable = 24707;  // disc ID name
inline constexpr int kAccurateRipDatabaseDiscarded = 24708;    // disc ID name
inline constexpr int kAccurateRipNotCheckedUnreachable = 24709;
inline constexpr int kAccurateRipNotCheckedNotFound = 24710;

// Verified rips in the "Ripper Settings" dialog.
inline constexpr int kVerifiedRipGroup = 24720;
inline constexpr int kVerifyAccurateRipBox = 24721;
inline constexpr int kAccurateRipUrlLabel = 24722;
inline constexpr int kReadOffsetLabel = 24723;  // the drive's identifier
inline constexpr int kRipLogBox = 24724;

// The rip log: its title, then the labels of its fields in the order they are written.
inline constexpr int kRipLogTitle = 24730;  // program name, version
inline constexpr int kRipLogDate = 24731;
inline constexpr int kRipLogDrive = 24732;
inline constexpr int kRipLogReadOffset = 24733;
inline constexpr int kRipLogGrabMode = 24734;
inline constexpr int kRipLogRetries = 24735;
inline constexpr int kRipLogErrorAction = 24736;
inline constexpr int kRipLogFormat = 24737;
inline constexpr int kRipLogDiscId = 24738;
inline constexpr int kRipLogCddbId = 24739;
inline constexpr int kRipLogDatabase = 24740;
inline constexpr int kRipLogTrack = 24741;  // track number
inline constexpr int kRipLogTitleField = 24742;
inline constexpr int kRipLogFile = 24743;
inline constexpr int kRipLogReadErrors = 24744;
inline constexpr int kRipLogWorstRetries = 24745;
inline constexpr int kRipLogCrc = 24746;
inline constexpr int kRipLogV1 = 24747;
inline constexpr int kRipLogV2 = 24748;
inline constexpr int kRipLogVerdict = 24749;
inline constexpr int kRipLogNotComputed = 24750;  // a checksum the rip could not compute
inline constexpr int kRipLogDefaultName = 24751;  // the log's file name without an album

// The rip session, whichever front end runs it.
inline constexpr int kRipTrackName = 26130;  // track number
inline constexpr int kRipLogFailed = 26156;  // the log's path
inline constexpr int kRipLogLoudness = 26220;
inline constexpr int kRipLogGain = 26221;
inline constexpr int kRipLogPeak = 26222;
inline constexpr int kRipLogAlbumLoudness = 26223;
inline constexpr int kRipLogAlbumGain = 26224;
inline constexpr int kRipLogAlbumPeak = 26225;
inline constexpr int kRipLogSilent = 26226;  // a track too quiet to have a loudness
inline constexpr int kRipNormalizeBox = 26227;
inline constexpr int kRipNotChecked = 26157;  // the database was not asked
}  // namespace corvane::text
