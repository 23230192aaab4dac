#pragma once
// Names of the settings sections and values. Spelled exactly as they are stored, so that
// the settings of every release stay readable ("FALC" is the stored spelling).

namespace corvane::keys {

namespace section {
inline constexpr const char* kConvert = "Convert Setting";
inline constexpr const char* kRip = "Rip Setting";
inline constexpr const char* kFreeDb = "FreeDB Setting";
inline constexpr const char* kEncoder = "Encoder Setting";
inline constexpr const char* kOutputQuality = "Output Quality";
inline constexpr const char* kDialogToggle = "QuillonDialogToggle";
inline constexpr const char* kFolderHistory = "FolderHistory";
}  // namespace section

// "Convert Setting" and, where the name is shared, "Rip Setting".
inline constexpr const char* kInstallPath = "Install Path";
inline constexpr const char* kInitialPanel = "Initial Panel";
inline constexpr const char* kInitialPosX = "Initial Pos X";
inline constexpr const char* kInitialPosY = "Initial Pos Y";
inline constexpr const char* kInitialWidth = "Initial Width";
inline constexpr const char* kInitialHeight = "Initial Height";
inline constexpr const char* kSourceFolderMode = "Source Folder Mode";
inline constexpr const char* kDefaultSourceFolder = "Default Source Folder";
inline constexpr const char* kLastSourceFolder = "Last Source Folder";
inline constexpr const char* kOutputFolder = "Output Folder";
inline constexpr const char* kLastOutputFolder = "Last Output Folder";
inline constexpr const char* kSameFolderAsOriginal = "Same Folder as Original";
inline constexpr const char* kOutputQualityName = "Output Quality";
inline constexpr const char* kMp3VbrEnabled = "MP3 VBR Enabled";
inline constexpr const char* kMp3Id3Enabled = "MP3 ID3 Enabled";
inline constexpr const char* kNormalizationEnabled = "Normalization Enabled";
inline constexpr const char* kNormalizationValue = "Normalization Value";
inline constexpr const char* kEnableId3v2 = "Enable ID3v2";
// ReplayGain tags of the outputs: 0 none, 1 track, 2 track and album ("Convert Setting" and "Rip
// Setting").
inline constexpr const char* kReplayGainMode = "ReplayGain Mode";
// What the normalise box does: 0 peak (to "Normalization Value" percent), 1 loudness (to "Loudness
// Target" LUFS, its true peak at most "True Peak Ceiling" dBTP; both stored as decimal texts).
inline constexpr const char* kNormalizationMode = "Normalization Mode";
inline constexpr const char* kLoudnessTarget = "Loudness Target";
inline constexpr const char* kTruePeakCeiling = "True Peak Ceiling";
inline constexpr const char* kOutputFolderConfirmation = "Output Folder Confirmation";
inline constexpr const char* kConfirmOverwrite = "Confirm Overwrite";
inline constexpr const char* kShowSuccess = "Show Success";
inline constexpr const char* kAutoOpenFolder = "Auto Open Folder";
inline constexpr const char* kLoadFolderAudioType = "Load Folder Audio Type";
inline constexpr const char* kSubFolders = "Sub-Folders";
inline constexpr const char* kLastLoadedFolder = "Last Loaded Folder";

// "Rip Setting" only.
inline constexpr const char* kRipDevice = "Rip Device";
inline constexpr const char* kDiscAutoLoad = "Disc Auto Load";
inline constexpr const char* kOutputName = "Output Name";
inline constexpr const char* kGrabModePreset = "Grab Mode Preset";
inline constexpr const char* kGrabErrorAction = "Grab Error Action";
inline constexpr const char* kGrabErrorRetries = "Grab Error Retries";
// Disc images opened as drives, one path a line.
inline constexpr const char* kDiscImages = "Disc Images";
// Checking ripped tracks against the AccurateRip database, and the plain-text log of a rip.
inline constexpr const char* kVerifyAccurateRip = "Verify with AccurateRip";
inline constexpr const char* kRipLog = "Rip Log";
// Base address of the AccurateRip database, up to and including "accuraterip/"; empty: the public one.
inline constexpr const char* kAccurateRipUrl = "AccurateRip URL";
// A drive's read offset in samples is stored as "Read Offset/" followed by the drive's identifier.
inline constexpr const char* kReadOffsetPrefix = "Read Offset/";

// "FreeDB Setting".
inline constexpr const char* kAutoQuery = "Auto Query";
inline constexpr const char* kServerUrlIndex = "Server URL Index";
inline constexpr const char* kServerPort = "Server Port";
inline constexpr const char* kTimeout = "Timeout";
inline constexpr const char* kUseProxy = "Use Proxy";
inline constexpr const char* kProxyUrl = "Proxy URL";
inline constexpr const char* kClientEmail = "Client Email";
inline constexpr const char* kClientAppName = "Client App Name";
inline constexpr const char* kFreedbSource = "Freedb Source";
// A freedb-compatible server of the user's own, in place of the default one; empty: the default.
inline constexpr const char* kServerName = "Server Name";
// Base address of the MusicBrainz web service; empty: the public one.
inline constexpr const char* kMusicBrainzUrl = "MusicBrainz URL";

// "Encoder Setting".
inline constexpr const char* kMp3EncoderQuality = "MP3 Encoder Quality";
inline constexpr const char* kMp3TypeStereo = "MP3 Type Stereo";
inline constexpr const char* kMp3VbrCoding = "MP3 VBR Coding";
inline constexpr const char* kMp3VbrBitrate = "MP3 VBR Bitrate";
inline constexpr const char* kMp3VbrQuality = "MP3 VBR Quality";
inline constexpr const char* kMp3VbrHeader = "MP3 VBR Header";
inline constexpr const char* kMp3MinBitrateEnforced = "MP3 Min Bitrate Enforced";
inline constexpr const char* kMaxAbrVbrBitrate = "Maximum ABR/VBR Bitrate";
inline constexpr const char* kFlacCompressionLevel = "FALC Compression Level";
inline constexpr const char* kFlacNonSubset = "FALC NON-SUBSET";
inline constexpr const char* kApeCompressionLevel = "APE Compression Level";
inline constexpr const char* kApeEncoderThreads = "APE Encoder Threads";

// "Output Quality".
inline constexpr const char* kConfigFilePath = "Config File Path";

// "QuillonDialogToggle".
inline constexpr const char* kFreeDbTips = "FreeDB Tips";

}  // namespace corvane::keys
