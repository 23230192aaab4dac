#pragma once

namespace corvane {

// What the windowed program sets on the application before its first window: the icon every
// window carries and the desktop entry it belongs to. No application display name is set: the
// window system would append it to every title ("Corvane v5.0 — Corvane"), and titles read
// exactly as their texts say.
void SetUpGuiApplication();

}  // namespace corvane
