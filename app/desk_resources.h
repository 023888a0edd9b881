// The embedded images of the desktop application (res/CMakeLists.txt makes
// them). Paths of the Qt resources:
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace corvane::resources {

inline const QString kAppIcon = QStringLiteral(":/images/app_icon.png");  // 256 x 256
inline const QString kLoginBackground =
    QStringLiteral(":/images/login_background.png");                            // 568 x 260
inline const QString kPinBuiltin = QStringLiteral(":/images/pin_builtin.png");  // 14 x 21, blue
inline const QString kPinManual = QStringLiteral(":/images/pin_manual.png");    // 14 x 21, pink

// ":/images/markN.png", N 0 to 5 (22 x 34): the map marker of type N.
QString MarkerPath(int type);

// The application icon (the same picture for every size).
QIcon AppIcon();

}  // namespace corvane::resources
