#pragma once
#include <QtGlobal>

namespace corvane {

// The CRC-32 of zip and PNG (reflected polynomial 0xEDB88320, initial and final value all ones),
// continued over consecutive pieces: start with 0 and pass each result back in.
quint32 Crc32Update(quint32 crc, const char* data, qsizetype size);

}  // namespace corvane
