#pragma once
#include <QIcon>

namespace corvane {

// The application's icon, drawn from its SVG at the sizes window systems and buttons ask for.
QIcon ApplicationIcon();

}  // namespace corvane
