#pragma once

// Numbers of the conversion list's texts in the string table (common/strings/converter.inc).
namespace corvane::text {
inline constexpr int kListColumnSpec = 23100;
inline constexpr int kNotAvailable = 23101;
inline constexpr int kLoaded = 23102;
inline constexpr int kFolder = 23103;
inline constexpr int kConvertType = 23104;
inline constexpr int kYes = 23105;
inline constexpr int kNo = 23106;
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
}  // namespace corvane::text
