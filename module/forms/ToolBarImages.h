// The images of a program window's tool bar and menu: one glyph per
// command, drawn here so that every installation shows the same bar
// without image files of its own.
#pragma once

#include <QImage>

namespace vcl {
class TImageList;
}

// Image numbers of the tool bar, in the order the window's buttons take them.
namespace toolimages {
inline constexpr int kAdd = 0, kQuery = 1, kEdit = 2, kDelete = 3, kPrint = 4, kFirst = 5, kPrior = 6, kNext = 7,
                     kLast = 8, kRefresh = 9, kSave = 10, kCancel = 11, kRun = 12;
inline constexpr int kCount = 13;
}  // namespace toolimages

// The glyph of image `index` (see toolimages), `size` pixels square; a
// null image for an index outside 0..kCount-1.
QImage ToolBarGlyph(int index, int size);
// Replaces the list's images by the kCount tool bar glyphs at the list's size.
void FillToolBarImages(vcl::TImageList* images);
