// Small Qt widgets that hand their painting, resizing and mouse events to
// the control that owns them, for controls Qt has no ready widget for
// (panels' captions aside: bevels, splitters, status and tool bars).
#pragma once

#include <QMouseEvent>
#include <QPainter>
#include <QWidget>
#include <functional>

#include "Classes.h"

namespace vcl {

class CallbackWidget : public QWidget {
public:
    using QWidget::QWidget;
    std::function<void(QPainter&)> Paint;
    std::function<void()> Resized;
    std::function<void(QMouseEvent*)> MousePress, MouseMove, MouseRelease;

protected:
    void paintEvent(QPaintEvent* e) override {
        if (!Paint) return QWidget::paintEvent(e);
        QPainter p(this);
        Guarded([&] { Paint(p); });
    }
    void resizeEvent(QResizeEvent*) override {
        if (Resized) Guarded([this] { Resized(); });
    }
    void mousePressEvent(QMouseEvent* e) override {
        if (MousePress) Guarded([&] { MousePress(e); });
        else QWidget::mousePressEvent(e);
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        if (MouseMove) Guarded([&] { MouseMove(e); });
        else QWidget::mouseMoveEvent(e);
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (MouseRelease) Guarded([&] { MouseRelease(e); });
        else QWidget::mouseReleaseEvent(e);
    }
};

}  // namespace vcl
