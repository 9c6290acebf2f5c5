// Image lists: numbered images of one size that tool bars, menus, trees,
// list views and buttons show by index.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <vector>

#include "Classes.h"
#include "Graphics.h"

namespace vcl {

class TImageList : public TComponent {
    VCL_DECLARE_CLASS(TImageList)
public:
    explicit TImageList(TComponent* owner);

    int Width() const { return width_; }
    void SetWidth(int width);
    int Height() const { return height_; }
    void SetHeight(int height);
    int Count() const { return static_cast<int>(images_.size()); }

    // Adds the image (scaled to the list's size) and answers its index.
    int Add(const QImage& image);
    // Adds a strip of images, each Width wide, with `transparent` made
    // transparent; answers the index of the first, -1 when none was added.
    int AddMasked(const TBitmap& strip, TColor transparent);
    void Delete(int index);
    void Clear();
    // False for an index outside 0..Count-1.
    bool GetBitmap(int index, TBitmap& bitmap) const;
    QPixmap Pixmap(int index) const;
    QIcon Icon(int index) const;

    std::function<void()> Changed;

private:
    void NotifyChanged();
    int width_ = 16;
    int height_ = 16;
    std::vector<QImage> images_;
};

}  // namespace vcl
