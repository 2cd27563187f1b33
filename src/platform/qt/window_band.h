#pragma once

class QWidget;

namespace corvalo::platform {

// Puts a top-level window into the band above all ordinary windows, or takes it
// out, keeping its position, size and visibility.
void setStayOnTop(QWidget& window, bool on);

}  // namespace corvalo::platform
