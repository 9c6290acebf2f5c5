// Image lists: images are kept at the list's size, with transparency.
#include "ImgList.h"

#include <QColor>

namespace vcl {

const TClassInfo& TImageList::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c = MakeComponentClass<TImageList>("TImageList", TComponent::StaticClass());
        TPropBuilder<TImageList>(c)
            .Int("Width", &TImageList::Width, &TImageList::SetWidth)
            .Int("Height", &TImageList::Height, &TImageList::SetHeight)
            .Int("Count", &TImageList::Count, nullptr);
        return c;
    }();
    return info;
}

TImageList::TImageList(TComponent* owner) : TComponent(owner) {}

void TImageList::NotifyChanged() {
    if (Changed) Changed();
}

// Changing the size empties the list, as the platform does.
void TImageList::SetWidth(int width) {
    if (width == width_ || width <= 0) return;
    width_ = width;
    Clear();
}

void TImageList::SetHeight(int height) {
    if (height == height_ || height <= 0) return;
    height_ = height;
    Clear();
}

int TImageList::Add(const QImage& image) {
    QImage sized = image.convertToFormat(QImage::Format_ARGB32);
    if (sized.width() != width_ || sized.height() != height_)
        sized = sized.scaled(width_, height_, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    images_.push_back(sized);
    NotifyChanged();
    return Count() - 1;
}

int TImageList::AddMasked(const TBitmap& strip, TColor transparent) {
    if (strip.Empty()) return -1;
    QImage source = strip.Image().convertToFormat(QImage::Format_ARGB32);
    QRgb clear = ColorToQColor(transparent).rgb() & 0xFFFFFF;
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x)
            if ((source.pixel(x, y) & 0xFFFFFF) == clear) source.setPixel(x, y, 0);
    int pieces = std::max(1, source.width() / width_);
    int first = Count();
    for (int i = 0; i < pieces; ++i) {
        QImage piece = source.copy(i * width_, 0, std::min(width_, source.width()), source.height());
        if (piece.height() != height_) piece = piece.scaled(piece.width(), height_);
        if (piece.width() != width_) piece = piece.scaled(width_, height_);
        images_.push_back(piece);
    }
    NotifyChanged();
    return first;
}

void TImageList::Delete(int index) {
    if (index < 0 || index >= Count()) throw plat::Exception("Image list index out of bounds");
    images_.erase(images_.begin() + index);
    NotifyChanged();
}

void TImageList::Clear() {
    if (images_.empty()) return;
    images_.clear();
    NotifyChanged();
}

bool TImageList::GetBitmap(int index, TBitmap& bitmap) const {
    if (index < 0 || index >= Count()) return false;
    QImage flat(width_, height_, QImage::Format_RGB32);
    flat.fill(ColorToQColor(clBtnFace));
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            QRgb p = images_[static_cast<size_t>(index)].pixel(x, y);
            if (qAlpha(p) > 0) flat.setPixel(x, y, p);
        }
    bitmap.SetImage(flat);
    return true;
}

QPixmap TImageList::Pixmap(int index) const {
    if (index < 0 || index >= Count()) return {};
    return QPixmap::fromImage(images_[static_cast<size_t>(index)]);
}

QIcon TImageList::Icon(int index) const {
    QPixmap p = Pixmap(index);
    return p.isNull() ? QIcon() : QIcon(p);
}

}  // namespace vcl
