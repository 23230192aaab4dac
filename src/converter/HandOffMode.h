#pragma once

namespace corvane {

// How a hand-off at start names its files: the mode of the launch request ("-a ACTION").
enum class HandOffMode : int { None = 0, SingleFile = 1, ListFile = 2, ListFileThenDelete = 3 };

}  // namespace corvane
