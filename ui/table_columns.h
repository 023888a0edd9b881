// The columns of the inspector's decoded-message table for each message
// kind: header texts and alignments, and whether the header shows. (Their
// widths are the main window's column layout.)
#pragma once

#include <cstdint>
#include <span>

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

}  // namespace corvane
