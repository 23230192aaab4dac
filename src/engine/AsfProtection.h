#pragma once
#include <QString>

namespace corvane {

// Whether `path` is an ASF file (WMA, ASF) whose header object holds a Content Encryption or an
// Extended Content Encryption object: such a file is protected by digital rights management and
// its audio cannot be decoded. False for any other file and for a header that cannot be read.
bool AsfHeaderIsProtected(const QString& path);

}  // namespace corvane
