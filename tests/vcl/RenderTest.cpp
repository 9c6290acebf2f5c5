// Rendering: the gallery form written to PNG files under the offscreen
// platform, with Chinese captions drawn as real, distinct glyphs (not as
// the empty boxes of a font that lacks them).
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QTemporaryDir>
#include <set>

#include "Gallery.h"
#include "Render.h"

using namespace vcl;

namespace {

// The picture of one character in a label of the suite's font.
QImage Glyph(TForm* form, const QString& ch) {
    auto* label = TComponent::Create<TLabel>(form);
    label->SetParent(form);
    label->Font()->SetName("宋体");
    label->Font()->SetSize(12);
    label->SetCaption(ch.toStdString());
    QImage image = RenderToImage(label);
    label->Free();
    return image;
}

int InkPixels(const QImage& image, const QRect& area) {
    QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    int ink = 0;
    for (int y = area.top(); y <= area.bottom() && y < rgb.height(); ++y)
        for (int x = area.left(); x <= area.right() && x < rgb.width(); ++x)
            if (qGray(rgb.pixel(x, y)) < 100) ++ink;
    return ink;
}

}  // namespace

TEST(Render, ChineseCaptionsAreDrawnWithRealGlyphs) {
    auto* form = TComponent::Create<TForm>(nullptr);
    form->Show();
    // A character no font has is drawn as a box; every Chinese character of
    // the captions must look different from that and from each other.
    QImage missing = Glyph(form, QString(QChar(0xE000)));
    std::set<QByteArray> seen;
    for (QChar ch : QString::fromUtf8("订单追踪查询结束项目编号")) {
        SCOPED_TRACE(QString(ch).toStdString());
        QImage g = Glyph(form, QString(ch));
        ASSERT_FALSE(g.isNull());
        EXPECT_GT(InkPixels(g, g.rect()), 10) << QString(ch).toStdString();
        EXPECT_NE(g, missing) << QString(ch).toStdString();
        QByteArray bits(reinterpret_cast<const char*>(g.constBits()), static_cast<int>(g.sizeInBytes()));
        EXPECT_TRUE(seen.insert(bits).second) << QString(ch).toStdString() << " looks like another character";
    }
    form->Free();
}

TEST(Render, TheGalleryIsWrittenToPngPageByPage) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto* form = TComponent::Create<TGalleryForm>(nullptr);
    form->Show();
    for (int page = 0; page < 2; ++page) {
        form->PageControl1->SetActivePageIndex(page);
        std::string file = dir.filePath(QString("gallery-%1.png").arg(page + 1)).toStdString();
        ASSERT_TRUE(RenderToPng(form, file));
        QImage image(QString::fromStdString(file));
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), form->Widget()->size());
        if (page == 0) {
            // The group box caption "选择订单单号" has ink where it stands.
            QPoint at = form->sp01->Widget()->mapTo(form->Widget(), QPoint(0, 0));
            EXPECT_GT(InkPixels(image, QRect(at, QSize(90, 16))), 30);
        } else {
            QPoint at = form->TreeView->Widget()->mapTo(form->Widget(), QPoint(0, 0));
            EXPECT_GT(InkPixels(image, QRect(at, QSize(300, 60))), 100);
        }
    }
    EXPECT_FALSE(RenderToPng(form, dir.filePath("no-such-folder/x.png").toStdString()));
    form->Free();
}
