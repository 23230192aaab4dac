#pragma once
#include "converter/FileEncodeJob.h"

namespace corvane {

// Encodes one file of a run with the back-end of its format.
int EncodeFile(const FileEncodeJob& job, QString& error);

}  // namespace corvane
