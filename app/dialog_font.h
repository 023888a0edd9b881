// The font of the dialogs and windows. The templates ask for "맑은 고딕",
// which only Windows has; the request falls back to the Korean fonts other
// systems carry, so that Korean text never renders as empty boxes.
#pragma once

#include <QFont>
#include <QString>

namespace corvane {

// `face` first, then "맑은 고딕", "Malgun Gothic", "NanumGothic" and
// "Noto Sans CJK KR", at `pointSize` points (pixels when `pointSize` is
// negative: -12 is 12 pixels).
QFont DialogFont(const QString& face, double pointSize);

}  // namespace corvane
