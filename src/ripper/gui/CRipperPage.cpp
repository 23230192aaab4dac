#include "ripper/gui/CRipperPage.h"

namespace corvane {

CRipperPage::CRipperPage(QWidget* parent) : PageWidget(parent) { setObjectName(QStringLiteral("ripperPage")); }

}  // namespace corvane
