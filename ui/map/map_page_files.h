// The map page and its marker images as files in the data folder, where the
// browser loads them from while the main window is open.
#pragma once

#include <QString>

namespace corvane {

inline constexpr int kMarkImages = 6;

// The file name of the page, and of the marker image of a type (0 to 5).
QString MapPageFileName();
QString MarkImageFileName(int typ);

// Deletes the page and the marker images in `folder`; with `extract`, then
// writes them from the application's resources (a missing resource leaves
// its file absent). Nothing happens when `folder` is empty.
void ExtractMapPage(const QString& folder, bool extract);

}  // namespace corvane
