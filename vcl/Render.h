// Pictures of controls: a form (or any control) with everything on it,
// drawn by Qt as it would show on screen, also under the offscreen platform.
#pragma once

#include <QImage>
#include <string>

#include "Controls.h"

namespace vcl {

// The control as drawn now; pending layout and paint events run first.
QImage RenderToImage(TControl* control);
// Writes RenderToImage to a PNG file; false when it cannot be written.
bool RenderToPng(TControl* control, const std::string& fileName);

}  // namespace vcl
