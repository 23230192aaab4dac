#pragma once
#include <QVariant>
#include <initializer_list>

#include "common/StringTable.h"
#include "components/GrabberError.h"

namespace corvane::grabber_events {

// The numbers of the events the grabber raises to its sink.
inline constexpr int kDiscChangedEvent = 1;
inline constexpr int kGrabProgressEvent = 2;
inline constexpr int kReadRetriesEvent = 3;
inline constexpr int kLookupEvent = 4;

// A failure with the string table's text `textId`.
inline GrabberResult Fail(GrabberErrorCode code, int textId, std::initializer_list<QVariant> args = {}) {
  return GrabberResult::Failure(code, StringTable::Format(textId, args));
}

}  // namespace corvane::grabber_events
