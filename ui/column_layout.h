// Column widths of the main window's two tables: the mountpoint list's
// columns in fixed proportions of its width, and the decoded-message table's
// by the message type on show.
#pragma once

#include <cstdint>
#include <vector>

namespace corvane {

// Widths of columns 0 to 4 of the mountpoint list for a list `listWidth`
// pixels wide; column 5 fills the rest.
std::vector<int> MountListColumnWidths(int listWidth);

// Proportions (of 498) of the decoded-message table's columns for the tree
// of RTCM version `treeVersion` (2 or 3) with the message kind of
// `selectedCode` chosen; empty when the widths are to be left alone. The
// column after the last one fills the rest.
std::vector<int> DecodedTableProportions(int treeVersion, std::uint32_t selectedCode);

// Proportions applied to a table `tableWidth` pixels wide.
std::vector<int> DecodedTableColumnWidths(int treeVersion, std::uint32_t selectedCode,
                                          int tableWidth);

}  // namespace corvane
