#include "discimage/TocReader.h"

#include "common/StringTable.h"
#include "common/strings/DiscImageText.h"
#include "discimage/SheetText.h"

namespace corvane {

ImageLayoutResult TocReader::Read() {
  if (const auto problem = ReadAll()) return ImageLayoutResult::Failure(ImageLayoutCode::Refused, *problem);
  return builder_.Finish();
}

bool TocReader::At(const char* word) const {
  return Peek().kind == TocToken::Kind::Word && Peek().text.compare(word, Qt::CaseInsensitive) == 0;
}

TocReader::Problem TocReader::Unexpected() const {
  if (Peek().kind == TocToken::Kind::End) return Unterminated();
  return StringTable::Format(text::kTocUnexpected, {Peek().line, DecodeSheetText(Peek().text).left(40)});
}

TocReader::Problem TocReader::Unterminated() const {
  return StringTable::Format(text::kTocUnterminated, {Peek().line});
}

TocReader::Problem TocReader::ReadAll() {
  DiscImageLayout& disc = builder_.Layout();
  while (!At("TRACK") && Peek().kind != TocToken::Kind::End) {
    if (At("CD_DA") || At("CD_ROM") || At("CD_ROM_XA") || At("CD_I")) {
      Next();
    } else if (At("CATALOG")) {
      Next();
      if (Peek().kind != TocToken::Kind::String) return Unexpected();
      disc.catalog = DecodeSheetText(Next().text);
    } else if (At("CD_TEXT")) {
      Next();
      const CdTextTarget target{&disc.title,    &disc.performer, &disc.songwriter,
                                &disc.composer, &disc.arranger,  &disc.message};
      if (const auto problem = CdText(target)) return problem;
    } else if (IsTrackStatement()) {
      return StringTable::Format(text::kTocOutsideTrack, {Peek().line, QString::fromLatin1(Peek().text)});
    } else {
      return Unexpected();
    }
  }
  while (At("TRACK")) {
    if (const auto problem = ReadTrack()) return problem;
    if (builder_.TooLong()) return std::nullopt;  // Finish words the refusal
  }
  if (Peek().kind == TocToken::Kind::End) return std::nullopt;
  return Unexpected();
}

bool TocReader::IsTrackStatement() const {
  for (const char* word : {"SILENCE", "ZERO", "FILE", "AUDIOFILE", "DATAFILE", "FIFO", "START", "PREGAP", "INDEX",
                           "ISRC", "COPY", "NO", "PRE_EMPHASIS", "TWO_CHANNEL_AUDIO", "FOUR_CHANNEL_AUDIO"}) {
    if (At(word)) return true;
  }
  return false;
}

// CD_TEXT { LANGUAGE_MAP { ... } LANGUAGE n { ITEM "text" ITEM { bytes } ... } ... }; the first
// language block is the one kept.
TocReader::Problem TocReader::CdText(const CdTextTarget& target) {
  if (Peek().kind != TocToken::Kind::Open) return Unexpected();
  Next();
  bool kept = false;
  while (Peek().kind != TocToken::Kind::Close) {
    if (At("LANGUAGE_MAP")) {
      Next();
      if (const auto problem = SkipBlock()) return problem;
    } else if (At("LANGUAGE")) {
      Next();
      if (Peek().kind != TocToken::Kind::Word) return Unexpected();
      Next();
      if (const auto problem = LanguageBlock(kept ? nullptr : &target)) return problem;
      kept = true;
    } else {
      return Unexpected();
    }
  }
  Next();
  return std::nullopt;
}

TocReader::Problem TocReader::LanguageBlock(const CdTextTarget* target) {
  if (Peek().kind != TocToken::Kind::Open) return Unexpected();
  Next();
  while (Peek().kind == TocToken::Kind::Word) {
    const QByteArray item = Next().text.toUpper();
    if (Peek().kind == TocToken::Kind::Open) {
      if (const auto problem = SkipBlock()) return problem;
      continue;
    }
    if (Peek().kind != TocToken::Kind::String) return Unexpected();
    const QString value = DecodeSheetText(Next().text);
    if (!target) continue;
    QString* field = item == "TITLE"        ? target->title
                     : item == "PERFORMER"  ? target->performer
                     : item == "SONGWRITER" ? target->songwriter
                     : item == "COMPOSER"   ? target->composer
                     : item == "ARRANGER"   ? target->arranger
                     : item == "MESSAGE"    ? target->message
                                            : nullptr;
    if (field) *field = value;
  }
  if (Peek().kind != TocToken::Kind::Close) return Unexpected();
  Next();
  return std::nullopt;
}

TocReader::Problem TocReader::SkipBlock() {
  if (Peek().kind != TocToken::Kind::Open) return Unexpected();
  Next();
  for (int depth = 1; depth > 0;) {
    if (Peek().kind == TocToken::Kind::End) return Unterminated();
    const TocToken& token = Next();
    depth += token.kind == TocToken::Kind::Open ? 1 : token.kind == TocToken::Kind::Close ? -1 : 0;
  }
  return std::nullopt;
}

}  // namespace corvane
