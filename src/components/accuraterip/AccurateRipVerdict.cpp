#include "components/accuraterip/AccurateRipVerdict.h"

#include "common/StringTable.h"
#include "common/strings/RipperText.h"

namespace corvane {

QString AccurateRipVerdictText(const AccurateRipVerdict& verdict) {
  switch (verdict.kind) {
    case AccurateRipVerdict::Kind::Accurate:
      return StringTable::Format(text::kAccurateRipAccurate, {verdict.confidence});
    case AccurateRipVerdict::Kind::NotAccurate:
      return StringTable::Text(text::kAccurateRipNotAccurate);
    case AccurateRipVerdict::Kind::NotInDatabase:
      return StringTable::Text(text::kAccurateRipNotInDatabase);
    case AccurateRipVerdict::Kind::Unreachable:
      return StringTable::Text(text::kAccurateRipUnreachable);
  }
  return {};
}

QString AccurateRipSummaryText(int accurateTracks, int tracks) {
  return StringTable::Format(text::kAccurateRipSummary, {accurateTracks, tracks});
}

}  // namespace corvane
