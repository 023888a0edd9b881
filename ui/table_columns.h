// The columns of the inspector's decoded-message table for each message
// kind: header texts and alignments, whether the header shows, and the width
// proportions of the columns.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace corvane {

enum class ColumnAlign { Left, Center, Right };

struct TableColumn {
    const char16_t* header;
    ColumnAlign align;
};

// The columns of a kind (the high half of a message code); none for a kind
// the table does not show.
std::span<const TableColumn> TableColumnsOfKind(std::uint32_t kind);

// False for the kinds shown as name/value rows (1006, 1013, 1033).
bool TableHeaderShown(std::uint32_t kind);

// Widths of the leading columns of a kind for a table `tableWidth` pixels
// wide: column i gets tableWidth × p_i / 498. The column after the last one
// returned fills the rest (sized to its header). Empty for a kind without
// proportions, whose widths are left alone.
std::vector<int> TableColumnWidths(std::uint32_t kind, int tableWidth);

}  // namespace corvane
