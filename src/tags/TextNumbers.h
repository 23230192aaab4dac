#pragma once
#include <QString>

namespace corvane {

// The leading decimal number of a text as C's atol reads it: blanks skipped, an optional sign,
// then digits ("7/12" gives 7, "2004-05-01" gives 2004); 0 when there is none. Saturates far
// below the limits of an int.
int LeadingInteger(const QString& text);

}  // namespace corvane
