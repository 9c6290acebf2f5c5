// The mask edit and its edit masks. A mask has up to three fields separated
// by ";": the mask characters, "0" when the literal characters are not part
// of the text (anything else, or no field, keeps them), and the blank
// character shown in positions not filled yet ("_" when there is no field).
//
// Mask characters: "L" letter, "l" optional letter, "A" letter or digit,
// "a" optional letter or digit, "C" any character, "c" optional any
// character, "0" digit, "9" optional digit, "#" optional digit or sign.
// "!" fills text given to the edit from the right, so that optional
// characters left out stand as leading blanks; ">" upper-cases the
// following characters, "<" lower-cases them, "<>" stops either; "\" makes
// the next character a literal; "_" is a literal blank. Every other
// character, the date and time separators "/" and ":" among them, is a
// literal that the edit shows and the cursor skips. Typing a field's closing
// literal inside the field ends the field early ("88/" in "999/99/99").
#pragma once

#include <QString>
#include <string>
#include <vector>

#include "StdCtrls.h"

namespace vcl {

class TEditMask {
public:
    TEditMask() = default;
    explicit TEditMask(const std::string& mask);

    bool IsMasked() const { return !positions_.empty(); }
    bool SaveLiterals() const { return saveLiterals_; }
    QChar Blank() const { return blank_; }
    bool Reverse() const { return reverse_; }
    int Length() const { return static_cast<int>(positions_.size()); }
    bool IsLiteral(int pos) const { return positions_.at(static_cast<size_t>(pos)).Kind == 0; }
    QChar LiteralAt(int pos) const { return positions_.at(static_cast<size_t>(pos)).Literal; }
    bool IsRequired(int pos) const;
    // Whether `ch` may stand at editable position `pos`.
    bool Accepts(int pos, QChar ch) const;
    // `ch` in the case the position asks for.
    QChar Cased(int pos, QChar ch) const;
    // The first editable position at or after `pos` (Length when none), and
    // the last one before `pos` (-1 when none).
    int NextEditable(int pos) const;
    int PriorEditable(int pos) const;

    // The edit text of an empty edit: literals, and blanks everywhere else.
    QString EmptyEditText() const;
    // The edit text that shows `value`. `value` may hold the literals or not:
    // a character equal to the literal of the position reached fills it,
    // any other fills the next editable position. With "!" the value fills
    // from the right. Characters a position does not accept stay blank.
    QString Format(const QString& value) const;
    // The text of an edit text: the editable characters, blanks read as
    // spaces, and the literals when they are saved. When literals are not
    // saved and nothing was entered, the text is empty.
    QString TextOf(const QString& editText) const;
    // True when every required position is filled.
    bool IsComplete(const QString& editText) const;

private:
    struct Position {
        char Kind = 0;   // mask character, 0 for a literal
        QChar Literal;
        int Case = 0;    // 0 as typed, 1 upper, 2 lower
    };
    std::vector<Position> positions_;
    bool saveLiterals_ = true;
    QChar blank_ = QLatin1Char('_');
    bool reverse_ = false;
};

// An edit whose text follows an edit mask; without a mask it is a plain edit.
class TMaskEdit : public TCustomEdit {
    VCL_DECLARE_CLASS(TMaskEdit)
public:
    explicit TMaskEdit(TComponent* owner);

    const std::string& EditMask() const { return editMask_; }
    // Keeps the text (without what the old mask added) and shows it under the new mask.
    void SetEditMask(const std::string& mask);
    bool IsMasked() const { return mask_.IsMasked(); }
    const TEditMask& Mask() const { return mask_; }
    std::string Text() const override;
    void SetText(const std::string& text) override;
    // The text as shown, with literals and blank characters.
    std::string EditText() const;
    void SetEditText(const std::string& text);
    // False when a required position is blank.
    bool ValidateEdit() const;

    void KeyDown(uint16_t& key, TShiftState shift) override;
    void KeyPress(char32_t& key) override;
    void DoEnter() override;
    void DoExit() override;

private:
    void Put(const QString& editText, int cursor);
    void Conform(const QString& edited);
    // True (the cursor moved past it) when `ch` is the literal that closes
    // the field the cursor stands inside.
    bool EndsField(int cursor, QChar ch);
    std::string editMask_;
    TEditMask mask_;
    bool putting_ = false;
};

}  // namespace vcl
