#pragma once
// The grid as a person exports it.
#include <string>

namespace tesmira::forms {

class Grid;

// Visible columns in display order: the captions, then one line a row of cell texts as shown.
// Fields holding a comma, a quote or a line break are quoted, quotes doubled.
std::string gridCsv(const Grid& grid);

} // namespace tesmira::forms
