#pragma once
#include <QString>

class QLineEdit;
class QWidget;

namespace corvane {

// Sizes a dialog to its content before it is shown: at least as wide as its layout needs, as
// `minimumChars` average characters of its font, and as its title with the room a window frame
// takes for its icon and buttons, so that neither title nor fields are cut. The window stays
// within the screen it opens on.
void SizeDialogToContent(QWidget& dialog, int minimumChars);

// Gives a path field room for its text, between `minimumChars` and `maximumChars` average
// characters of its font.
void WidenForPath(QLineEdit& field, int minimumChars, int maximumChars);

}  // namespace corvane
