#include "host/ResultsTarget.h"

namespace Logic::Npp {

void ResultsTarget::UsePanel(bool aPanel) {
    bool lPanel = aPanel && mPanel != nullptr;
    if (lPanel == mUsePanel) {
        return;
    }
    IResultsWindow& rLeft = Current();
    mUsePanel = lPanel;
    // The one left closes as its Close would: hidden, then empty.
    if (rLeft.IsVisible()) {
        rLeft.Hide();
    }
    rLeft.Clear();
}

} // namespace Logic::Npp
