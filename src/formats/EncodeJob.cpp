#include "formats/EncodeJob.h"

#include "common/StringTable.h"
#include "engine/DecodeStream.h"

namespace corvane {

EncodeOutcome EncodeOutcome::StartFailure(int code) {
  return Failure(StringTable::Format(text::kMsgEncoderStartFailed, {code}));
}

EncodeOutcome EncodeOutcome::EncodingFailure(int code) {
  return Failure(StringTable::Format(text::kMsgEncodingError, {code}));
}

bool ReadJobTags(const EncodeJob& job, SourceTags& tags) {
  if (job.tags != nullptr) {
    tags = *job.tags;
    return true;
  }
  return ReadSourceTags(dynamic_cast<const DecodeStream*>(job.source), tags);
}

}  // namespace corvane
