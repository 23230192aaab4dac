#include "converter/gui/CConvertPage.h"

namespace corvane {

CConvertPage::CConvertPage(QWidget* parent) : PageWidget(parent) { setObjectName(QStringLiteral("convertPage")); }

}  // namespace corvane
