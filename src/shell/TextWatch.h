#pragma once

#include <functional>

class QComboBox;

namespace controls {

// Calls handler once for each new text an editable combo box shows: typing, inline completion,
// choosing from the list and leaving the box all lead here, and a text already handled is not
// handled again (one change, one check, one message). Texts the window sets itself count as
// handled when the handler ignores them.
void onNewText(QComboBox* box, std::function<void()> handler);

} // namespace controls
