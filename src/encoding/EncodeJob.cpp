#include "encoding/EncodeJob.h"

#include "common/StringTable.h"
#include "engine/DecodeStream.h"

namespace corvane {

EncodeOutcome EncodeOutcome::StartFailure(int code) {
  return Failure(StringTable::Format(text::kMsgEncoderStartFailed, {code}));
}

EncodeOutcome EncodeOutcome::EncodingFailure(int code) {
  return Failure(StringTable::Format(text::kMsgEncodingError, {code}));
}

EncodeOutcome EncodeOutcome::EncodingFailure(const ConverterResult& failure) {
  EncodeOutcome outcome = EncodingFailure(static_cast<int>(failure.code));
  outcome.error += QStringLiteral(" (") + failure.text + QLatin1Char(')');
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
