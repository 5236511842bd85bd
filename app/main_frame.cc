// The main frame procedure. The window and its loop come with the window
// library; until then the procedure returns at once.
#include "app/main_frame.h"

namespace mxb {

void MainFrame() {}

}  // namespace mxb
