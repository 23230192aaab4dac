#pragma once
#include <chrono>
#include <future>
#include <type_traits>
#include <utility>

#include "common/UserInterface.h"

namespace corvane {

// Runs `work` on a thread of its own and lets the user interface go on (windows repaint, clicks
// arrive) until it returns; returns its result. For calls into a drive, which may take seconds to
// answer. What the pumped events do must not touch what `work` uses.
template <typename Work>
auto RunOffThread(IUserInterface& ui, Work&& work) -> std::invoke_result_t<Work> {
  constexpr auto kPumpInterval = std::chrono::milliseconds(15);
  auto done = std::async(std::launch::async, std::forward<Work>(work));
  while (done.wait_for(kPumpInterval) != std::future_status::ready) ui.PumpEvents();
  return done.get();
}

}  // namespace corvane
