#include "ui/mount_row_compare.h"

namespace corvane {

bool MountRowLess(const MountSortKey& a, const MountSortKey& b, bool descending) {
    if (a.casterIndex != b.casterIndex) return a.casterIndex < b.casterIndex;
    const int order = QString::compare(a.text, b.text, Qt::CaseSensitive);
    return descending ? order > 0 : order < 0;
}

}  // namespace corvane
