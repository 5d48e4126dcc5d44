#pragma once

class QTabWidget;

namespace orsa::app {

// The service window's three tabs, "GSM", "GPS" and "SIM-карта", with their controls in place
// and named; what the controls do is wired by the window.
void buildServicePages(QTabWidget& pages);

}  // namespace orsa::app
