#pragma once

// Numbers of the converter's texts in the string table (converter.inc): the page, its dialogs,
// the conversion list, the run and source playback.
namespace corvane::text {
inline constexpr int kStopCaption = 23001;
inline constexpr int kStopYes = 23002;
inline constexpr int kStopNo = 23003;
inline constexpr int kStopAll = 23004;
inline constexpr int kOverwriteCaption = 23010;
inline constexpr int kOverwriteButton = 23011;
inline constexpr int kSkipButton = 23012;
inline constexpr int kOverwriteAllButton = 23013;
inline constexpr int kSaveToOtherName = 23014;
inline constexpr int kDontAskOverwrite = 23015;
inline constexpr int kBrowseButton = 23016;
inline constexpr int kOtherNameChooserTitle = 23017;
inline constexpr int kExtensionFilter = 23018;
inline constexpr int kAllFilesFilter = 23019;
inline constexpr int kCompletedCaption = 23020;
inline constexpr int kCompletedHeading = 23021;
inline constexpr int kOkButton = 23022;
inline constexpr int kOpenFolderButton = 23023;
inline constexpr int kDontShowAgain = 23024;
inline constexpr int kOneFailedCount = 23050;
inline constexpr int kFailedCount = 23051;

inline constexpr int kSettingsCaption = 23030;
inline constexpr int kSourceFolderHeading = 23031;
inline constexpr int kAlwaysThisFolder = 23032;
inline constexpr int kRememberLastFolder = 23033;
inline constexpr int kId3v2Heading = 23034;
inline constexpr int kId3v2Auto = 23035;
inline constexpr int kId3v2Always = 23036;
inline constexpr int kId3v2Never = 23037;
inline constexpr int kBeforeStartHeading = 23038;
inline constexpr int kOutputFolderConfirmationBox = 23039;
inline constexpr int kPromptOverwriteBox = 23040;
inline constexpr int kWhenCompletedHeading = 23041;
inline constexpr int kShowCompletedBox = 23042;
inline constexpr int kOpenOutputFolderBox = 23043;
inline constexpr int kDefaultFolderChooserTitle = 23044;
inline constexpr int kKeepTagsHeading = 23045;

inline constexpr int kListColumnSpec = 23100;
inline constexpr int kNotAvailable = 23101;
inline constexpr int kLoaded = 23102;
inline constexpr int kFolder = 23103;
inline constexpr int kConvertType = 23104;
inline constexpr int kListYes = 23105;  // "Yes" in the list's sub-folders column
inline constexpr int kListNo = 23106;
inline constexpr int kFileCount = 23107;
inline constexpr int kSizeKb = 23108;
inline constexpr int kSizeMb = 23109;
inline constexpr int kLoadingFile = 23110;
inline constexpr int kCancelLoadingQuestion = 23111;
inline constexpr int kScanningFile = 23112;
inline constexpr int kSearchingFolder = 23113;
inline constexpr int kSelectItemFirst = 23114;
inline constexpr int kRemoveAllQuestion = 23115;
inline constexpr int kFileRowInfo = 23116;
inline constexpr int kFolderRowInfo = 23117;
inline constexpr int kOutputStatus = 23118;
inline constexpr int kAddFilesTitle = 23119;
// The add-files dialog's filter descriptions, kFilterFirst to kFilterLast in the dialog's order.
inline constexpr int kFilterFirst = 23120;
inline constexpr int kFilterLast = 23139;
inline constexpr int kLoadFolderCaption = 23140;
inline constexpr int kLoadFolderLabel = 23141;
inline constexpr int kLoadFolderBrowse = 23142;
inline constexpr int kLoadFolderChooserTitle = 23143;
inline constexpr int kLoadFolderTypeLabel = 23144;
inline constexpr int kLoadFolderSubFolders = 23145;
inline constexpr int kLoadFolderAdd = 23146;
inline constexpr int kLoadFolderCancel = 23147;
inline constexpr int kLoadFolderAddAsFiles = 23148;
inline constexpr int kLoadFolderTip = 23149;
inline constexpr int kLoadFolderRefusal = 23150;
inline constexpr int kAddFilesTip = 23151;
inline constexpr int kAddFolderTip = 23152;
inline constexpr int kRemoveSelectedTip = 23153;
inline constexpr int kRemoveAllTip = 23154;
inline constexpr int kAddingCaption = 23155;

inline constexpr int kCoreComponentsFailed = 106;
inline constexpr int kNothingToConvert = 23400;
inline constexpr int kChooseOutputFolder = 23401;
inline constexpr int kFilesFailed = 23402;
inline constexpr int kOneFileFailed = 23052;
inline constexpr int kStatusWaiting = 23403;
inline constexpr int kStatusConverting = 23404;
inline constexpr int kStatusCompleted = 23405;
inline constexpr int kStatusFailed = 23406;
inline constexpr int kStatusCancelled = 23407;
inline constexpr int kStatusSkipped = 23408;
inline constexpr int kStatusIdle = 23409;
inline constexpr int kFileRowLine = 23410;
inline constexpr int kConvertingInProgress = 23411;
inline constexpr int kFolderIsOutputFolder = 23412;
inline constexpr int kCannotCreateFolder = 23415;
inline constexpr int kFolderFileLine = 23416;
inline constexpr int kAlreadyExists = 23417;
inline constexpr int kPreparingNormalization = 23418;
inline constexpr int kUnableToLoad = 23419;
inline constexpr int kUnableToCreate = 23420;
inline constexpr int kSummarySameFolder = 23421;
inline constexpr int kSummaryToFolder = 23422;
inline constexpr int kFailedListHeading = 23423;
inline constexpr int kStartConvert = 23424;
inline constexpr int kStopConvert = 23425;
inline constexpr int kStartConvertTooltip = 23426;
inline constexpr int kOutputIsASource = 23427;
inline constexpr int kUnableToReplace = 23428;
inline constexpr int kSummaryCancelled = 23429;
inline constexpr int kSourceMissing = 23471;
inline constexpr int kNameNotUtf8 = 23472;

inline constexpr int kSameFolderBox = 23430;
inline constexpr int kOutputFolderLabel = 23431;
inline constexpr int kOutputFolderTooltip = 23432;
inline constexpr int kListGroup = 23433;
inline constexpr int kStatusLabel = 23434;
inline constexpr int kAudioInformation = 23435;
inline constexpr int kQualityGroup = 23436;

inline constexpr int kAddFilesButton = 23437;
inline constexpr int kAddFolderButton = 23438;
inline constexpr int kRemoveButton = 23439;
inline constexpr int kRemoveAllButton = 23440;

inline constexpr int kPlayButton = 23300;        // "Play"
inline constexpr int kStopButton = 23301;        // "Stop"
inline constexpr int kOpenButton = 23302;        // "Open"
inline constexpr int kOpenFolderTip = 23303;     // "Open folder"
inline constexpr int kPlayTip = 23304;           // "(F2) Play source audio file"
inline constexpr int kPositionOfLength = 23306;  // "%s / %s"
inline constexpr int kPlayTime = 23307;          // "%d:%02d:%02d" hours, minutes, seconds
}  // namespace corvane::text
