// The one fixed-pitch font of the window, the report and the text views.
#pragma once

#include <QFont>

namespace rt62 {

// The system's fixed font; where the system names one that is not installed or not fixed pitch
// (a bare Windows font folder, a minimal Linux), the first installed family whose every character is
// as wide as any other. Where it lacks the letters of the language in use (Han characters for
// Chinese), the first fixed-pitch family that has them. pointSize > 0 sets the size.
QFont SystemFixedFont(int pointSize = 0);

} // namespace rt62
