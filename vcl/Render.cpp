// Rendering controls to images and PNG files.
#include "Render.h"

#include <QApplication>
#include <QPixmap>
#include <QWidget>

namespace vcl {

QImage RenderToImage(TControl* control) {
    QWidget* w = control ? control->Widget() : nullptr;
    if (!w) return {};
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
    return w->grab().toImage();
}

bool RenderToPng(TControl* control, const std::string& fileName) {
    QImage image = RenderToImage(control);
    return !image.isNull() && image.save(QString::fromStdString(fileName), "PNG");
}

}  // namespace vcl
