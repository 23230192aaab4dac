#include "encoding/EncodeJob.h"

#include "common/StringTable.h"
#include "engine/DecodeStream.h"

namespace corvane {

EncodeOutcome EncodeStartFailed(int code) {
  return EncodeFailed(StringTable::Format(text::kMsgEncoderStartFailed, {code}));
}

EncodeOutcome EncodingFailed(int code) { return EncodeFailed(StringTable::Format(text::kMsgEncodingError, {code})); }

EncodeOutcome EncodingFailed(const ConverterResult& failure) {
  EncodeOutcome outcome = EncodingFailed(static_cast<int>(failure.code));
  outcome.text += QStringLiteral(" (") + failure.text + QLatin1Char(')');
  return outcome;
}

bool ReadJobTags(const EncodeJob& job, SourceTags& tags) {
  if (job.tags != nullptr) {
    tags = *job.tags;
    return true;
  }
  return ReadSourceTags(dynamic_cast<const DecodeStream*>(job.source), tags);
}

}  // namespace corvane
