// The mask edit: the order-number mask that leaves its "-" out of the text,
// the date, time and percent masks that keep their literals, the blank text
// of an empty edit, typing, deleting and pasting under a mask.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include "Dialogs.h"
#include "Forms.h"
#include "Mask.h"

using namespace vcl;

namespace {

const char* const kOrderMask = "!cccc-ccccccccccc;0; ";
const char* const kDateMask = "9999/99/99;1; ";
const char* const kTimeMask = "99:99;1; ";
const char* const kPercentMask = "###.##%;1; ";

struct MaskFixture : ::testing::Test {
    void SetUp() override {
        form = TComponent::Create<TForm>(nullptr);
        edit = TComponent::Create<TMaskEdit>(form);
        edit->SetParent(form);
        form->Show();
        edit->SetFocus();
    }
    void TearDown() override { form->Free(); }
    void Type(const char* text) {
        QTest::keyClicks(edit->LineEdit(), QString::fromUtf8(text));
        QApplication::processEvents();
    }
    void Key(Qt::Key key) { QTest::keyClick(edit->LineEdit(), key); }
    TForm* form = nullptr;
    TMaskEdit* edit = nullptr;
};

}  // namespace

// ---- the mask itself ----

TEST(EditMask, FieldsGiveTheSaveFlagAndTheBlankCharacter) {
    TEditMask order(kOrderMask);
    EXPECT_FALSE(order.SaveLiterals());
    EXPECT_EQ(order.Blank(), QChar(' '));
    EXPECT_TRUE(order.Reverse());
    EXPECT_EQ(order.Length(), 16);
    EXPECT_TRUE(order.IsLiteral(4));
    EXPECT_EQ(order.LiteralAt(4), QChar('-'));

    TEditMask bare("00:00");
    EXPECT_TRUE(bare.SaveLiterals());             // no save field keeps the literals
    EXPECT_EQ(bare.Blank(), QChar('_'));          // and the blank is "_"
    EXPECT_EQ(bare.EmptyEditText(), "__:__");
    EXPECT_FALSE(TEditMask("").IsMasked());
}

TEST(EditMask, CharactersAreCheckedAndCasedByPosition) {
    TEditMask mask(">LL<ll\\90#;1;_");
    ASSERT_EQ(mask.Length(), 7);
    EXPECT_TRUE(mask.Accepts(0, 'a'));
    EXPECT_FALSE(mask.Accepts(0, '1'));
    EXPECT_EQ(mask.Cased(0, 'a'), QChar('A'));
    EXPECT_EQ(mask.Cased(2, 'B'), QChar('b'));
    EXPECT_TRUE(mask.IsLiteral(4));               // "\9" is a literal 9
    EXPECT_EQ(mask.LiteralAt(4), QChar('9'));
    EXPECT_FALSE(mask.Accepts(5, 'x'));
    EXPECT_TRUE(mask.Accepts(6, '-'));
    EXPECT_TRUE(mask.IsRequired(0));
    EXPECT_FALSE(mask.IsRequired(2));
    EXPECT_EQ(mask.Format("abcd9"), "ABcd9__");
    EXPECT_FALSE(mask.IsComplete("A___9__"));
    EXPECT_TRUE(mask.IsComplete("AB__95_"));
}

TEST(EditMask, OrderNumberTextLeavesTheSeparatorOutAndReadsBackTheSame) {
    TEditMask mask(kOrderMask);
    // With or without the "-", type and number land in their fields.
    EXPECT_EQ(mask.Format("2201-20260301001"), "2201-20260301001");
    EXPECT_EQ(mask.Format("220120260301001"), "2201-20260301001");
    EXPECT_EQ(mask.TextOf("2201-20260301001"), "220120260301001");
    // A key padded as the lookup pads it keeps its blanks inside the text.
    EXPECT_EQ(mask.Format("22  -2026"), "22  -2026       ");
    EXPECT_EQ(mask.TextOf("22  -2026       "), "22  2026       ");
    // "!" fills a short text from the right, and the text reads back unchanged.
    QString shortText = "A1";
    EXPECT_EQ(mask.Format(shortText), "    -         A1");
    EXPECT_EQ(mask.TextOf(mask.Format(mask.TextOf(mask.Format(shortText)))), mask.TextOf(mask.Format(shortText)));
    // Nothing entered: the text is empty, so that no condition is built from it.
    EXPECT_EQ(mask.TextOf(mask.EmptyEditText()), "");
}

TEST(EditMask, DateTimeAndPercentMasksKeepTheirLiterals) {
    TEditMask date(kDateMask);
    EXPECT_EQ(date.EmptyEditText(), "    /  /  ");
    EXPECT_EQ(date.TextOf(date.EmptyEditText()), "    /  /  ");   // the blank date template
    EXPECT_EQ(date.Format("20260305"), "2026/03/05");
    EXPECT_EQ(date.Format("2026/03/05"), "2026/03/05");
    EXPECT_EQ(date.TextOf("2026/3 /5 "), "2026/3 /5 ");
    EXPECT_EQ(date.Format("2026/ab/05"), "2026/  /05");              // letters are refused

    TEditMask dashDate("99-99-9999;1; ");
    EXPECT_EQ(dashDate.Format("05032026"), "05-03-2026");

    TEditMask time(kTimeMask);
    EXPECT_EQ(time.EmptyEditText(), "  :  ");
    EXPECT_EQ(time.Format("0930"), "09:30");

    TEditMask percent(kPercentMask);
    EXPECT_EQ(percent.EmptyEditText(), "   .  %");
    EXPECT_EQ(percent.Format("12.50"), "12 .50%");   // a short whole part leaves a blank before "."
    EXPECT_EQ(percent.Format("-1250"), "-12.50%");
    EXPECT_EQ(percent.TextOf("12 .5 %"), "12 .5 %");
}

// ---- the edit ----

TEST_F(MaskFixture, TypingFillsPositionsAndSkipsTheLiterals) {
    edit->SetEditMask(kDateMask);
    EXPECT_EQ(edit->EditText(), "    /  /  ");
    Type("20260305");
    EXPECT_EQ(edit->EditText(), "2026/03/05");
    EXPECT_EQ(edit->Text(), "2026/03/05");
    EXPECT_TRUE(edit->Modified());
}

TEST_F(MaskFixture, RefusedCharactersLeaveTheEditAsItWas) {
    edit->SetEditMask(kTimeMask);
    Type("1x2:3y0");
    EXPECT_EQ(edit->EditText(), "12:30");
    Type("9");   // the mask is full
    EXPECT_EQ(edit->EditText(), "12:30");
}

// Short parts as users type them: the literal that closes a field, typed
// inside it, ends the field; typed right after a literal it is refused.
TEST_F(MaskFixture, TypingAFieldsClosingLiteralEndsTheField) {
    struct Case { const char* mask; const char* typed; const char* shown; } cases[] = {
        {"999/99/99;1; ", "88/1/2", "88 /1 /2 "},       {"999/99/99;1; ", "113/01/10", "113/01/10"},
        {"9999/99/99;1; ", "2024/2/05", "2024/2 /05"},   {"9999/99/99;1; ", "/2024", "2024/  /  "},
        {"99:99;1; ", "9:5", "9 :5 "},                   {"9999年99年99;1; ", "2024年1年5", "2024年1 年5 "},
        {"9999-99-99;1; ", "2024/1-5", "2024-1 -5 "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.mask) + " " + c.typed);
        edit->SetEditMask(c.mask);
        edit->SetText("");
        for (QChar ch : QString::fromUtf8(c.typed)) {
            if (ch.unicode() < 0x80) QTest::keyClick(edit->LineEdit(), ch.toLatin1());
            else QTest::sendKeyEvent(QTest::Click, edit->LineEdit(), Qt::Key_unknown, QString(ch), Qt::NoModifier);
        }
        EXPECT_EQ(edit->EditText(), c.shown);
    }
}

TEST_F(MaskFixture, BackspaceAndDeletePutBlanksBackAndKeepLiterals) {
    edit->SetEditMask(kTimeMask);
    Type("1230");
    Key(Qt::Key_Backspace);
    Key(Qt::Key_Backspace);
    EXPECT_EQ(edit->EditText(), "12:  ");
    EXPECT_EQ(edit->LineEdit()->cursorPosition(), 3);
    edit->LineEdit()->setCursorPosition(0);
    Key(Qt::Key_Delete);
    EXPECT_EQ(edit->EditText(), " 2:  ");
    EXPECT_EQ(edit->Text(), " 2:  ");
}

TEST_F(MaskFixture, OrderNumberTypedByTheUserReadsWithoutTheSeparator) {
    edit->SetEditMask(kOrderMask);
    EXPECT_EQ(edit->Text(), "");
    Type("2201");
    Type("20260301001");
    EXPECT_EQ(edit->EditText(), "2201-20260301001");
    EXPECT_EQ(edit->Text(), "220120260301001");
    edit->SetText("2202-1");   // a preset key, as the caller hands it in
    EXPECT_EQ(edit->EditText(), "2202-1          ");
}

TEST_F(MaskFixture, PastedTextIsFittedIntoTheMask) {
    edit->SetEditMask(kDateMask);
    edit->LineEdit()->selectAll();
    edit->LineEdit()->insert("20261231");   // what a paste does to the line edit
    EXPECT_EQ(edit->EditText(), "2026/12/31");
    edit->LineEdit()->selectAll();
    edit->LineEdit()->insert("2027/1/2");
    EXPECT_EQ(edit->EditText(), "2027/1 /2 ");
}

TEST_F(MaskFixture, ChangingTheMaskKeepsTheTextAndGivesTheNewBlankText) {
    edit->SetText("abc");
    edit->SetEditMask(kTimeMask);
    EXPECT_EQ(edit->EditText(), "  :  ");   // letters do not fit digits
    edit->SetEditMask("");
    edit->SetText("0930");
    edit->SetEditMask(kTimeMask);
    EXPECT_EQ(edit->Text(), "09:30");
    edit->SetEditMask("");
    EXPECT_FALSE(edit->IsMasked());
    EXPECT_EQ(edit->Text(), "09:30");
}

TEST_F(MaskFixture, AnIncompleteRequiredMaskKeepsTheFocusWithAMessage) {
    plat::ScopedScriptedDialogs dialogs;
    auto* other = TComponent::Create<TEdit>(form);
    other->SetParent(form);
    other->SetTop(40);
    edit->SetEditMask("00:00;1;_");
    Type("1");
    other->SetFocus();
    EXPECT_EQ(form->ActiveControl(), edit);
    ASSERT_EQ(dialogs->Shown.size(), 1u);
    Type("234");
    other->SetFocus();
    EXPECT_EQ(form->ActiveControl(), other);
    EXPECT_EQ(dialogs->Shown.size(), 1u);
}
