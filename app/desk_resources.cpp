#include "app/desk_resources.h"

namespace corvane::resources {

QString MarkerPath(int type) { return QStringLiteral(":/images/mark%1.png").arg(type); }

QIcon AppIcon() { return QIcon(kAppIcon); }

}  // namespace corvane::resources
