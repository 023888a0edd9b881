// The order of the mountpoint list: the built-in caster's rows always before
// the manual caster's, then the sort column's texts compared by UTF-16 code
// units (so version cells sort as text), reversed when descending.
#pragma once

#include <QString>

namespace corvane {

struct MountSortKey {
    int casterIndex = 0;
    QString text;  // the sort column's cell text
};

// True when `a` sorts before `b`.
bool MountRowLess(const MountSortKey& a, const MountSortKey& b, bool descending);

}  // namespace corvane
