#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

#include "components/freedb/CddbEntry.h"

namespace corvane {

// A CDDB answer split into its status line and, for codes whose middle digit is 1, the data lines
// up to the terminating ".".
struct CddbAnswer {
  int code = 0;
  QString status_text;  // the status line after the code
  QStringList lines;
};

// Splits a body. Empty when it is not strict UTF-8, its first line does not start with a
// three-digit code, or a list lacks its terminating "." line.
std::optional<CddbAnswer> SplitCddbAnswer(const QByteArray& body);

// The first match of a query answer (200, 210 or 211); empty for any other code or an empty list.
std::optional<CddbMatch> FirstCddbMatch(const CddbAnswer& answer);

// The entry of a read answer (210). Empty when the entry has no DTITLE or is one of the
// fabricated entries a server sends to clients it refuses.
std::optional<CddbEntry> ParseCddbEntry(const CddbAnswer& answer);

// Removes control characters: each run becomes one space, and the ends are trimmed.
QString CleanCddbValue(const QString& value);

}  // namespace corvane
