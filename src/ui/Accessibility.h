// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What assistive technology (a screen reader, over AT-SPI on Linux) is told
// about the program's own kinds of window and control, beyond what Qt tells
// of its standard widgets.
namespace Accessibility {

// Installs the accessible interfaces once per process; later calls do nothing.
// A top-level window made straight from QWidget reports itself as a frame
// (Qt reports any plain QWidget as a client area, a "filler" to screen
// readers), a drop-down list with an accessible name is named by it (Qt
// names one by its current row), a CountLabel reports its count as its
// value, and the contest timeline is a chart.
void Install();

} // namespace Accessibility
