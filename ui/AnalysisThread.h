#pragma once

#include <QObject>
#include <functional>

#include "engine/AnalysisView.h"

namespace tracklens::ui {

// Runs an analysis on a thread of its own, so that the window keeps painting while the file is
// walked. Every operation the run asks of the view is done on the window's thread, in the
// run's order, while the run waits for it. Meanwhile the window's thread handles everything
// but user input (repaints, moves, resizes), which waits until the run is over. Returns when
// the run has ended; what the run throws is thrown here.
void RunAnalysisOffThread(QObject& window, AnalysisView& view,
                          const std::function<void(AnalysisView&)>& run);

} // namespace tracklens::ui
