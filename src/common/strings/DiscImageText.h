#pragma once

// Numbers of the disc image readers' texts in the string table (discimage.inc): why a cue sheet,
// cdrdao table or Nero image was refused. Each follows "could not be opened as a disc image: ".
namespace corvane::text {
// The image file itself.
inline constexpr int kImageNotFound = 24900;       // path
inline constexpr int kImageNotRegular = 24901;     // path
inline constexpr int kImageUnreadable = 24902;     // path
inline constexpr int kImageUnknownType = 24903;    // path
inline constexpr int kImageSheetTooLarge = 24904;  // path, limit in bytes

// Data files a description names.
inline constexpr int kDataFileMissing = 24910;       // line, file
inline constexpr int kDataFileNotRegular = 24911;    // line, file
inline constexpr int kDataFileUnreadable = 24912;    // line, file
inline constexpr int kDataFileNotCdAudio = 24913;    // line, file
inline constexpr int kDataFileEmpty = 24914;         // line, file
inline constexpr int kDataTrackInAudioFile = 24915;  // line, track, file
inline constexpr int kPositionPastFileEnd = 24916;   // line, position, file

// Cue sheets.
inline constexpr int kCueTrackBeforeFile = 24920;   // line
inline constexpr int kCueBadTrack = 24921;          // line
inline constexpr int kCueUnknownTrackType = 24922;  // line, type
inline constexpr int kCueBadIndex = 24923;          // line
inline constexpr int kCueIndexBeforeTrack = 24924;  // line
inline constexpr int kCueIndexNumberOrder = 24925;  // line, index, track
inline constexpr int kCueIndexBackwards = 24926;    // line, index, track
inline constexpr int kCueBadFile = 24927;           // line
inline constexpr int kCueGapMisplaced = 24928;      // line, keyword
inline constexpr int kCueBadTime = 24929;           // line, keyword
inline constexpr int kCueNoIndex01 = 24930;         // track
inline constexpr int kCueTrackNumberOrder = 24931;  // line, track, previous track

// cdrdao tables.
inline constexpr int kTocUnexpected = 24940;         // line, word
inline constexpr int kTocBadLength = 24941;          // line, keyword
inline constexpr int kTocUnterminated = 24942;       // line
inline constexpr int kTocOutsideTrack = 24943;       // line, keyword
inline constexpr int kTocStartTwice = 24944;         // line
inline constexpr int kTocPregapLate = 24945;         // line
inline constexpr int kTocStartPastData = 24946;      // line, track
inline constexpr int kTocIndexOutside = 24947;       // line, track
inline constexpr int kTocUnknownMode = 24948;        // line, mode
inline constexpr int kTocSubChannelAudio = 24949;    // line
inline constexpr int kTocNoStream = 24950;           // line, keyword
inline constexpr int kTocByteOffsetDecoded = 24951;  // line, file
inline constexpr int kTocTooManyTracks = 24952;      // line

// Nero images.
inline constexpr int kNrgNoFooter = 24960;
inline constexpr int kNrgFooterOutside = 24961;  // offset
inline constexpr int kNrgChunkPastEnd = 24962;   // chunk, offset, length
inline constexpr int kNrgChunkSize = 24963;      // chunk, offset, length
inline constexpr int kNrgNoTracks = 24964;
inline constexpr int kNrgTrackOutside = 24965;     // track
inline constexpr int kNrgTrackSectors = 24966;     // track, sector bytes
inline constexpr int kNrgSubChannelAudio = 24967;  // track, sector bytes
inline constexpr int kNrgTrackOverlap = 24968;     // track, previous track
inline constexpr int kNrgTooManyChunks = 24969;
inline constexpr int kNrgTableTooLarge = 24970;  // bytes

// The layout as a whole.
inline constexpr int kLayoutNoTracks = 24980;
inline constexpr int kLayoutTooManyTracks = 24981;  // tracks
inline constexpr int kLayoutTrackNumbers = 24982;   // track, previous track
inline constexpr int kLayoutTrackEmpty = 24983;     // track
inline constexpr int kLayoutIndexOrder = 24984;     // track
inline constexpr int kLayoutTooLong = 24985;        // minutes
inline constexpr int kLayoutNoAudio = 24986;
inline constexpr int kLayoutPastLeadOut = 24987;  // track
}  // namespace corvane::text
