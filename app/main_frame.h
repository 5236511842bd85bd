// The main frame procedure: the program's main window and its event loop.
#pragma once

namespace mxb {

// Returns when the main window has closed.
void MainFrame();

}  // namespace mxb
