#pragma once

namespace talvo {

// Puts our accessible interfaces before Qt's: drop-down lists named by their labels, and
// template windows as dialogs or, inside another window, as property pages. Once a process;
// the builder calls it before it makes a control.
void installAccessibleInterfaces();

} // namespace talvo
