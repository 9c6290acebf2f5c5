// The tool bar glyphs: each command drawn with a few strokes in a colour of
// its own, so that the buttons differ at a glance and in a screenshot.
#include "ToolBarImages.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include "ImgList.h"

namespace {

// Every glyph is drawn on a 16-unit square and scaled to the asked size.
constexpr qreal kUnits = 16.0;

void Arrow(QPainter& p, bool right, qreal x) {
    QPolygonF head;
    if (right) head << QPointF(x, 3) << QPointF(x + 6, 8) << QPointF(x, 13);
    else head << QPointF(x + 6, 3) << QPointF(x, 8) << QPointF(x + 6, 13);
    p.drawPolygon(head);
}

void DrawAdd(QPainter& p) {
    p.setPen(QPen(QColor(0, 128, 0), 3, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(8, 2), QPointF(8, 14));
    p.drawLine(QPointF(2, 8), QPointF(14, 8));
}

void DrawQuery(QPainter& p) {
    p.setPen(QPen(QColor(0, 0, 160), 2));
    p.drawEllipse(QRectF(2, 2, 8, 8));
    p.drawLine(QPointF(9.5, 9.5), QPointF(14, 14));
}

void DrawEdit(QPainter& p) {
    p.setPen(QPen(QColor(150, 90, 0), 1));
    p.setBrush(QColor(240, 190, 60));
    QPolygonF pencil;
    pencil << QPointF(3, 13) << QPointF(4, 10) << QPointF(11, 3) << QPointF(13, 5) << QPointF(6, 12);
    p.drawPolygon(pencil);
}

void DrawDelete(QPainter& p) {
    p.setPen(QPen(QColor(200, 0, 0), 2.5));
    p.drawLine(QPointF(3, 3), QPointF(13, 13));
    p.drawLine(QPointF(13, 3), QPointF(3, 13));
}

void DrawPrint(QPainter& p) {
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4, 1.5, 8, 5));
    p.setBrush(QColor(128, 128, 128));
    p.drawRect(QRectF(1.5, 6.5, 13, 5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4, 10, 8, 4.5));
}

void DrawFirst(QPainter& p) {
    p.setPen(QPen(QColor(0, 100, 160), 1));
    p.setBrush(QColor(0, 100, 160));
    p.drawRect(QRectF(3, 3, 1.5, 10));
    Arrow(p, false, 6);
}

void DrawPrior(QPainter& p) {
    p.setPen(QPen(QColor(0, 140, 140), 1));
    p.setBrush(QColor(0, 140, 140));
    Arrow(p, false, 5);
}

void DrawNext(QPainter& p) {
    p.setPen(QPen(QColor(140, 0, 140), 1));
    p.setBrush(QColor(140, 0, 140));
    Arrow(p, true, 5);
}

void DrawLast(QPainter& p) {
    p.setPen(QPen(QColor(100, 60, 160), 1));
    p.setBrush(QColor(100, 60, 160));
    Arrow(p, true, 4);
    p.drawRect(QRectF(11.5, 3, 1.5, 10));
}

void DrawRefresh(QPainter& p) {
    p.setPen(QPen(QColor(0, 150, 60), 2));
    p.drawArc(QRectF(3, 3, 10, 10), 30 * 16, 280 * 16);
    p.setBrush(QColor(0, 150, 60));
    QPolygonF head;
    head << QPointF(10, 1) << QPointF(14, 4.5) << QPointF(9.5, 6.5);
    p.drawPolygon(head);
}

void DrawSave(QPainter& p) {
    p.setPen(QPen(QColor(20, 40, 120), 1));
    p.setBrush(QColor(40, 80, 200));
    p.drawRect(QRectF(2.5, 2.5, 11, 11));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(5, 2.5, 6, 4));
    p.drawRect(QRectF(4.5, 9, 7, 4.5));
}

void DrawCancel(QPainter& p) {
    p.setPen(QPen(QColor(220, 100, 0), 2));
    p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
    p.drawLine(QPointF(4.5, 11.5), QPointF(11.5, 4.5));
}

void DrawRun(QPainter& p) {
    p.setPen(QPen(QColor(0, 120, 0), 1));
    p.setBrush(QColor(60, 180, 60));
    QPolygonF play;
    play << QPointF(4, 2) << QPointF(13, 8) << QPointF(4, 14);
    p.drawPolygon(play);
}

}  // namespace

QImage ToolBarGlyph(int index, int size) {
    using Draw = void (*)(QPainter&);
    static const Draw draws[toolimages::kCount] = {DrawAdd,  DrawQuery, DrawEdit, DrawDelete,  DrawPrint,
                                                   DrawFirst, DrawPrior, DrawNext, DrawLast,    DrawRefresh,
                                                   DrawSave,  DrawCancel, DrawRun};
    if (index < 0 || index >= toolimages::kCount || size <= 0) return {};
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / kUnits, size / kUnits);
    draws[index](painter);
    return image;
}

void FillToolBarImages(vcl::TImageList* images) {
    if (!images) return;
    images->Clear();
    for (int i = 0; i < toolimages::kCount; ++i) images->Add(ToolBarGlyph(i, images->Width()));
}
