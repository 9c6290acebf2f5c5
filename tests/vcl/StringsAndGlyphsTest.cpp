// String lists (lines, name=value pairs, comma text, change notification)
// and glyphs (bitmap strips, transparent colour, image lists, stock glyphs,
// bitmap button kinds).
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QToolButton>

#include "Buttons.h"
#include "Dialogs.h"
#include "Forms.h"
#include "ImgList.h"
#include "KvCtrls.h"

using namespace vcl;

TEST(Strings, LinesNamesValuesAndWholeText) {
    TStrings list;
    int changes = 0;
    list.OnChange = TNotifyEvent([&](TObject*) { ++changes; });
    list.SetText("SYS001=1\r\nSYS002=/\nplain");
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Values("sys002"), "/");
    EXPECT_EQ(list.Names(2), "");
    list.SetValue("SYS001", "3");
    list.SetValue("SYS180", "Y");
    EXPECT_EQ(list.Strings(0), "SYS001=3");
    EXPECT_EQ(list.Strings(3), "SYS180=Y");
    list.SetValue("SYS002", "");   // an empty value removes the line
    EXPECT_EQ(list.IndexOfName("SYS002"), -1);
    EXPECT_EQ(list.Text(), "SYS001=3\nplain\nSYS180=Y\n");
    EXPECT_EQ(changes, 4);
    EXPECT_THROW(list.Strings(3), plat::Exception);
}

TEST(Strings, InsertMoveExchangeKeepTheObjectsWithTheirLines) {
    TStrings list;
    TStrings a, b;
    list.AddObject("a", &a);
    list.AddObject("b", &b);
    list.Insert(0, "first");
    EXPECT_EQ(list.ToVector(), (std::vector<std::string>{"first", "a", "b"}));
    EXPECT_EQ(list.Objects(1), &a);
    list.Move(2, 0);
    EXPECT_EQ(list.ToVector(), (std::vector<std::string>{"b", "first", "a"}));
    EXPECT_EQ(list.Objects(0), &b);
    list.Exchange(0, 2);
    EXPECT_EQ(list.IndexOfObject(&b), 2);
    EXPECT_EQ(list.IndexOf("FIRST"), 1);
    EXPECT_THROW(list.Insert(5, "x"), plat::Exception);
}

TEST(Strings, CommaTextQuotesWhatNeedsQuotes) {
    TStrings list;
    list.Assign(std::vector<std::string>{"sp02", "two words", "say \"hi\"", ""});
    EXPECT_EQ(list.CommaText(), "sp02,\"two words\",\"say \"\"hi\"\"\",\"\"");
    TStrings back;
    back.SetCommaText(list.CommaText());
    EXPECT_EQ(back.ToVector(), list.ToVector());
    back.SetCommaText("sp02, sp05");
    EXPECT_EQ(back.ToVector(), (std::vector<std::string>{"sp02", "sp05"}));
}

TEST(Strings, AnUpdateBracketReportsOnceAtItsEnd) {
    TStrings list;
    int changes = 0;
    list.Changed = [&] { ++changes; };
    list.BeginUpdate();
    for (int i = 0; i < 5; ++i) list.Add("line");
    list.BeginUpdate();
    list.Delete(0);
    list.EndUpdate();
    EXPECT_EQ(changes, 0);
    list.EndUpdate();
    EXPECT_EQ(changes, 1);
    list.BeginUpdate();
    list.EndUpdate();   // nothing changed: nothing reported
    EXPECT_EQ(changes, 1);
}

TEST(PropertyText, EnumerationsAndSetsReadTheirIdentifiersAndRefuseOthers) {
    std::vector<std::string> names = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
    EXPECT_EQ(SetValueOf(names, "Style", "[fsItalic, FSBOLD]"), 3);
    EXPECT_EQ(SetValueOf(names, "Style", " [] "), 0);
    EXPECT_EQ(SetValueOf(names, "Style", "5"), 5);
    EXPECT_EQ(SetToText(names, 9), "[fsBold,fsStrikeOut]");
    EXPECT_THROW(SetValueOf(names, "Style", "[fsHeavy]"), plat::Exception);
    EXPECT_EQ(EnumValueOf(AlignNames(), "Align", " alClient "), 5);
    EXPECT_EQ(EnumValueOf(AlignNames(), "Align", "2"), 2);
    EXPECT_THROW(EnumValueOf(AlignNames(), "Align", "9"), plat::Exception);
    int value = 0;
    EXPECT_TRUE(IdentToInt("CLWINDOW", value, ColorIdents()));
    EXPECT_EQ(value, clWindow);
    EXPECT_EQ(StringToColor("255"), clRed);
    EXPECT_THROW(StringToColor("$zz"), plat::Exception);
}

namespace {

// A strip of two 4x4 images: the first red on green, the second blue; the
// bottom-left pixel (green) is the transparent colour.
TBitmap Strip() {
    TBitmap strip(8, 4);
    strip.Fill(clLime);
    strip.SetPixel(1, 1, clRed);
    for (int x = 4; x < 8; ++x) strip.SetPixel(x, 0, clBlue);
    return strip;
}

}  // namespace

TEST(Glyphs, StripsSplitIntoImagesWithTheTransparentColourCleared) {
    TBitmap strip = Strip();
    EXPECT_EQ(strip.TransparentColor(), clLime);
    QImage masked = strip.MaskedImage();
    EXPECT_EQ(qAlpha(masked.pixel(0, 0)), 0);
    EXPECT_EQ(QColor(masked.pixel(1, 1)), QColor(Qt::red));

    TImageList images(nullptr);
    images.SetWidth(4);
    images.SetHeight(4);
    EXPECT_EQ(images.AddMasked(strip, clLime), 0);
    ASSERT_EQ(images.Count(), 2);
    TBitmap second;
    ASSERT_TRUE(images.GetBitmap(1, second));
    EXPECT_EQ(second.Pixel(0, 0), clBlue);
    EXPECT_FALSE(images.GetBitmap(2, second));
    images.SetWidth(8);   // a new size empties the list
    EXPECT_EQ(images.Count(), 0);
}

TEST(Glyphs, ButtonsShowTheirGlyphAndItsDisabledImage) {
    auto* form = TComponent::Create<TForm>(nullptr);
    auto* button = TComponent::Create<TBitBtn>(form);
    button->SetParent(form);
    button->Glyph()->Assign(Strip());
    button->SetNumGlyphs(2);
    QIcon icon = button->Button()->icon();
    ASSERT_FALSE(icon.isNull());
    QImage normal = icon.pixmap(QSize(4, 4), QIcon::Normal).toImage();
    QImage disabled = icon.pixmap(QSize(4, 4), QIcon::Disabled).toImage();
    EXPECT_EQ(QColor(normal.pixel(1, 1)), QColor(Qt::red));
    EXPECT_EQ(QColor(disabled.pixel(0, 0)), QColor(Qt::blue));
    // A standard kind gives the caption, the modal result and Default or Cancel.
    button->SetKind(TBitBtnKind::bkCancel);
    EXPECT_EQ(button->Caption(), "Cancel");
    EXPECT_EQ(button->ModalResult(), plat::mrCancel);
    EXPECT_TRUE(button->Cancel());
    button->Click();
    EXPECT_EQ(form->ModalResult(), plat::mrCancel);
    form->Free();
}

TEST(Glyphs, StockGlyphNumbersFallBackToTheLookupGlyph) {
    EXPECT_TRUE(HasStockGlyph(8));
    EXPECT_TRUE(HasStockGlyph(47));
    EXPECT_FALSE(HasStockGlyph(9999));
    auto* form = TComponent::Create<TForm>(nullptr);
    auto* button = TComponent::Create<TGSpeedButton>(form);
    button->SetGlyphIndex(9999);
    EXPECT_FALSE(button->IsValidGlyph(9999));
    EXPECT_EQ(button->GlyphIndex(), 9999);
    EXPECT_EQ(button->Button()->icon().pixmap(16, 16).toImage(),
              QIcon(QPixmap::fromImage(StockGlyph(0))).pixmap(16, 16).toImage());
    TImageList images(nullptr);
    images.Add(StockGlyph(47));
    button->SetImages(&images);
    EXPECT_TRUE(button->IsValidGlyph(0));
    EXPECT_FALSE(button->IsValidGlyph(1));
    button->SetImages(nullptr);
    form->Free();
}
