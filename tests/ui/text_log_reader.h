// Reading the decoded-text log back in the tests: the rows of a message's
// block, cut into the values printed.
#pragma once

#include <string>
#include <vector>

namespace corvane::test {

// The lines of every ".txt" file in `dir`, files in name order, without
// line ends.
std::vector<std::string> ReadTextLogLines(const std::string& dir);

// The blocks titled `title` (the title line begins with it and a blank),
// in order: each the lines after the title and `headerLines` column-header
// lines, up to an empty line or the next title; `linesPerRow` lines joined
// by a blank make one row.
std::vector<std::vector<std::string>> TextLogBlocks(const std::vector<std::string>& lines,
                                                    const std::string& title, int headerLines,
                                                    int linesPerRow);

// The values of a row: first fields of fixed widths, then the rest split at
// blanks; every value without surrounding blanks.
std::vector<std::string> SplitRow(const std::string& row, const std::vector<int>& fixedWidths);

std::string Trim(const std::string& text);

}  // namespace corvane::test
