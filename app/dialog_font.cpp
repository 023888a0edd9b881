#include "app/dialog_font.h"

#include <QStringList>

namespace corvane {

QFont DialogFont(const QString& face, double pointSize) {
    QStringList families{face};
    for (const char* fallback : {"맑은 고딕", "Malgun Gothic", "NanumGothic", "Noto Sans CJK KR"}) {
        const QString f = QString::fromUtf8(fallback);
        if (!families.contains(f)) families << f;
    }
    QFont font;
    font.setFamilies(families);
    if (pointSize < 0) {
        font.setPixelSize(static_cast<int>(-pointSize));
    } else if (pointSize > 0) {
        font.setPointSizeF(pointSize);
    }
    return font;
}

}  // namespace corvane
