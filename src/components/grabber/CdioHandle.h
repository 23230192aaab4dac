#pragma once
// The disc handle lives in common/, where the engine's CD stream opens discs too.
#include "common/CdioHandle.h"
