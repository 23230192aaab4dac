#include "ui/ApplicationIcon.h"

#include "ui/AppIcons.h"

namespace corvane {

QIcon ApplicationIcon() { return SvgIcon(QStringLiteral(":/icons/corvane.svg")); }

}  // namespace corvane
