#pragma once

#include <cstddef>

namespace vaporica {

// Every screen is a window of its own, and on a denser screen its pixels take megabytes (the gas
// quiz at twice the size: 6.6 MB). Memory handed back to the system on a switch is handed out
// again page by page, each page costing a fault: on a virtual machine of a school's server about
// 13 µs a page, 20 ms for one window. The program keeps what it frees for the next screen instead.
// Called once, before the application object exists.
void keepFreedMemoryForReuse();

// Touches `bytes` of memory once and frees it, kept for reuse: the next windows' pixels then find
// their pages in place. For the idle time before they are needed.
void makeMemoryReady(std::size_t bytes);

} // namespace vaporica
