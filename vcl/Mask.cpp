// Edit masks and the mask edit. The edit keeps its full edit text in the
// line edit (literals and blanks included) and works in overwrite mode:
// a typed character that the position accepts replaces the blank, the
// cursor skips the literals, Backspace and Delete put blanks back. Text
// that reaches the line edit another way (pasting, input methods) is fitted
// into the mask again.
#include "Mask.h"

#include <QLineEdit>

#include "Dialogs.h"
#include "Forms.h"

namespace vcl {

// ---- TEditMask ----

TEditMask::TEditMask(const std::string& maskText) {
    QString mask = QString::fromStdString(maskText);
    // The mask field ends at the first ";" that is not escaped.
    int end = -1;
    for (int i = 0; i < mask.size(); ++i) {
        if (mask[i] == QLatin1Char('\\')) {
            ++i;
            continue;
        }
        if (mask[i] == QLatin1Char(';')) {
            end = i;
            break;
        }
    }
    QString chars = end < 0 ? mask : mask.left(end);
    if (end >= 0) {
        QString rest = mask.mid(end + 1);
        int second = rest.indexOf(QLatin1Char(';'));
        QString save = second < 0 ? rest : rest.left(second);
        saveLiterals_ = save.trimmed() != QLatin1String("0");
        if (second >= 0 && second + 1 < rest.size()) blank_ = rest[second + 1];
    }
    int casing = 0;
    for (int i = 0; i < chars.size(); ++i) {
        QChar c = chars[i];
        if (c == QLatin1Char('!')) {
            reverse_ = true;
            continue;
        }
        if (c == QLatin1Char('<') && i + 1 < chars.size() && chars[i + 1] == QLatin1Char('>')) {
            casing = 0;
            ++i;
            continue;
        }
        if (c == QLatin1Char('>')) {
            casing = 1;
            continue;
        }
        if (c == QLatin1Char('<')) {
            casing = 2;
            continue;
        }
        Position p;
        p.Case = casing;
        if (c == QLatin1Char('\\') && i + 1 < chars.size()) {
            p.Literal = chars[++i];
        } else if (QStringLiteral("LlAaCc09#").contains(c)) {
            p.Kind = static_cast<char>(c.toLatin1());
        } else if (c == QLatin1Char('_')) {
            p.Literal = QLatin1Char(' ');
        } else {
            p.Literal = c;
        }
        positions_.push_back(p);
    }
}

bool TEditMask::IsRequired(int pos) const {
    char k = positions_.at(static_cast<size_t>(pos)).Kind;
    return k == 'L' || k == 'A' || k == 'C' || k == '0';
}

bool TEditMask::Accepts(int pos, QChar ch) const {
    if (pos < 0 || pos >= Length() || IsLiteral(pos)) return false;
    switch (positions_[static_cast<size_t>(pos)].Kind) {
    case 'L': case 'l': return ch.isLetter();
    case 'A': case 'a': return ch.isLetterOrNumber();
    case 'C': case 'c': return true;
    case '0': case '9': return ch.isDigit();
    case '#': return ch.isDigit() || ch == QLatin1Char('+') || ch == QLatin1Char('-');
    default: return false;
    }
}

QChar TEditMask::Cased(int pos, QChar ch) const {
    int c = positions_.at(static_cast<size_t>(pos)).Case;
    return c == 1 ? ch.toUpper() : c == 2 ? ch.toLower() : ch;
}

int TEditMask::NextEditable(int pos) const {
    for (int i = std::max(0, pos); i < Length(); ++i)
        if (!IsLiteral(i)) return i;
    return Length();
}

int TEditMask::PriorEditable(int pos) const {
    for (int i = std::min(pos, Length()) - 1; i >= 0; --i)
        if (!IsLiteral(i)) return i;
    return -1;
}

QString TEditMask::EmptyEditText() const {
    QString text;
    for (const Position& p : positions_) text += p.Kind ? blank_ : p.Literal;
    return text;
}

QString TEditMask::Format(const QString& value) const {
    QString text = EmptyEditText();
    auto place = [&](int pos, QChar ch) {
        if (ch == blank_ || ch == QLatin1Char(' ')) return;
        if (Accepts(pos, ch)) text[pos] = Cased(pos, ch);
    };
    // A value that holds the mask's literals in order is read field by
    // field: each piece between two literals fills its field from the left.
    std::vector<int> literals;
    for (int i = 0; i < Length(); ++i)
        if (IsLiteral(i)) literals.push_back(i);
    std::vector<int> cuts;
    int from = 0;
    for (int pos : literals) {
        int at = value.indexOf(LiteralAt(pos), from);
        if (at < 0) break;
        cuts.push_back(at);
        from = at + 1;
    }
    if (!literals.empty() && cuts.size() == literals.size()) {
        int start = 0;
        for (size_t field = 0; field <= literals.size(); ++field) {
            int end = field < cuts.size() ? cuts[field] : static_cast<int>(value.size());
            int pos = field == 0 ? 0 : literals[field - 1] + 1;
            int stop = field < literals.size() ? literals[field] : Length();
            for (int i = start; i < end && pos < stop; ++i, ++pos) {
                while (pos < stop && IsLiteral(pos)) ++pos;
                if (pos < stop) place(pos, value[i]);
            }
            start = end + 1;
        }
        return text;
    }
    // Otherwise the characters fill the editable positions in turn; with
    // "!" from the right, so that a short value is right-aligned.
    std::vector<int> editable;
    for (int i = 0; i < Length(); ++i)
        if (!IsLiteral(i)) editable.push_back(i);
    int n = std::min<int>(static_cast<int>(value.size()), static_cast<int>(editable.size()));
    int offset = reverse_ ? static_cast<int>(editable.size()) - n : 0;
    int first = reverse_ ? static_cast<int>(value.size()) - n : 0;
    for (int k = 0; k < n; ++k) place(editable[static_cast<size_t>(offset + k)], value[first + k]);
    return text;
}

QString TEditMask::TextOf(const QString& editText) const {
    QString text;
    bool entered = false;
    for (int i = 0; i < Length(); ++i) {
        QChar ch = i < editText.size() ? editText[i] : blank_;
        if (IsLiteral(i)) {
            if (saveLiterals_) text += LiteralAt(i);
            continue;
        }
        if (ch == blank_) ch = QLatin1Char(' ');
        if (ch != QLatin1Char(' ')) entered = true;
        text += ch;
    }
    if (!saveLiterals_ && !entered) return {};
    return text;
}

bool TEditMask::IsComplete(const QString& editText) const {
    for (int i = 0; i < Length(); ++i)
        if (IsRequired(i) && (i >= editText.size() || editText[i] == blank_ || editText[i] == QLatin1Char(' ')))
            return false;
    return true;
}

// ---- TMaskEdit ----

const TClassInfo& TMaskEdit::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c = MakeComponentClass<TMaskEdit>("TMaskEdit", TCustomEdit::StaticClass());
        TPropBuilder<TMaskEdit>(c).Str("EditMask", &TMaskEdit::EditMask, &TMaskEdit::SetEditMask);
        return c;
    }();
    return info;
}

TMaskEdit::TMaskEdit(TComponent* owner) : TCustomEdit(owner) {
    QObject::connect(LineEdit(), &QLineEdit::textEdited, [this](const QString& t) {
        if (!putting_) Guarded([&] { Conform(t); });
    });
}

void TMaskEdit::SetEditMask(const std::string& mask) {
    std::string text = Text();
    editMask_ = mask;
    mask_ = TEditMask(mask);
    if (mask_.IsMasked()) Put(mask_.Format(QString::fromStdString(text)), 0);
    else TCustomEdit::SetText(text);
}

std::string TMaskEdit::Text() const {
    if (!IsMasked()) return TCustomEdit::Text();
    return mask_.TextOf(LineEdit()->text()).toStdString();
}

void TMaskEdit::SetText(const std::string& text) {
    if (!IsMasked()) return TCustomEdit::SetText(text);
    Put(mask_.Format(QString::fromStdString(text)), 0);
}

std::string TMaskEdit::EditText() const { return LineEdit()->text().toStdString(); }

void TMaskEdit::SetEditText(const std::string& text) {
    if (!IsMasked()) return TCustomEdit::SetText(text);
    Put(mask_.Format(QString::fromStdString(text)), 0);
}

bool TMaskEdit::ValidateEdit() const { return !IsMasked() || mask_.IsComplete(LineEdit()->text()); }

void TMaskEdit::Put(const QString& editText, int cursor) {
    putting_ = true;
    if (LineEdit()->text() != editText) LineEdit()->setText(editText);
    LineEdit()->setCursorPosition(std::clamp(cursor, 0, mask_.Length()));
    putting_ = false;
}

// Text that came in past the key handling is fitted into the mask again.
void TMaskEdit::Conform(const QString& edited) {
    if (!IsMasked()) return;
    int cursor = LineEdit()->cursorPosition();
    QString fitted = mask_.Format(edited);
    SetModified(true);
    Put(fitted, mask_.NextEditable(std::min(cursor, mask_.Length())));
}

void TMaskEdit::KeyDown(uint16_t& key, TShiftState shift) {
    TCustomEdit::KeyDown(key, shift);
    if (!IsMasked() || key != VK_DELETE || ReadOnly()) return;
    QString text = LineEdit()->text();
    int start = LineEdit()->hasSelectedText() ? LineEdit()->selectionStart() : LineEdit()->cursorPosition();
    int end = LineEdit()->hasSelectedText() ? start + static_cast<int>(LineEdit()->selectedText().size()) : start + 1;
    for (int i = start; i < end && i < mask_.Length(); ++i)
        if (!mask_.IsLiteral(i)) text[i] = mask_.Blank();
    SetModified(true);
    Put(text, start);
    key = 0;
}

void TMaskEdit::KeyPress(char32_t& key) {
    TCustomEdit::KeyPress(key);
    if (!IsMasked() || key == 0 || key == 13 || key == 27 || key == 9 || ReadOnly()) return;
    QString text = LineEdit()->text();
    if (text.size() != mask_.Length()) text = mask_.Format(text);
    bool selected = LineEdit()->hasSelectedText();
    int start = selected ? LineEdit()->selectionStart() : LineEdit()->cursorPosition();
    if (key == 8) {
        if (selected) {
            int end = start + static_cast<int>(LineEdit()->selectedText().size());
            for (int i = start; i < end && i < mask_.Length(); ++i)
                if (!mask_.IsLiteral(i)) text[i] = mask_.Blank();
            Put(text, start);
        } else {
            int at = mask_.PriorEditable(start);
            if (at >= 0) text[at] = mask_.Blank();
            Put(text, std::max(at, 0));
        }
        SetModified(true);
        key = 0;
        return;
    }
    QChar ch = key < 0x10000 ? QChar(static_cast<char16_t>(key)) : QChar();
    int at = mask_.NextEditable(start);
    if (!ch.isNull() && at < mask_.Length() && !mask_.Accepts(at, ch) && EndsField(start, ch)) {
        key = 0;
        return;
    }
    if (ch.isNull() || at >= mask_.Length() || !mask_.Accepts(at, ch)) {
        key = 0;   // refused: the edit stays as it is
        return;
    }
    if (selected) {
        int end = start + static_cast<int>(LineEdit()->selectedText().size());
        for (int i = start; i < end && i < mask_.Length(); ++i)
            if (!mask_.IsLiteral(i)) text[i] = mask_.Blank();
    }
    text[at] = mask_.Cased(at, ch);
    SetModified(true);
    Put(text, mask_.NextEditable(at + 1));
    key = 0;
}

// The literal that closes the field the cursor stands in, typed inside
// that field, ends it: the cursor moves past the literal and the positions
// skipped stay blank ("88/" in "999/99/99" leaves the year "88 "). Typed
// right after a literal (the field just filled, or nothing typed yet) it is
// refused as before.
bool TMaskEdit::EndsField(int cursor, QChar ch) {
    if (cursor <= 0 || cursor >= mask_.Length() || mask_.IsLiteral(cursor - 1)) return false;
    int literal = cursor;
    while (literal < mask_.Length() && !mask_.IsLiteral(literal)) ++literal;
    if (literal >= mask_.Length() || mask_.LiteralAt(literal) != ch) return false;
    Put(LineEdit()->text(), mask_.NextEditable(literal + 1));
    return true;
}

void TMaskEdit::DoEnter() {
    TCustomEdit::DoEnter();
    if (IsMasked() && !AutoSelect()) LineEdit()->setCursorPosition(mask_.NextEditable(0));
}

// An edit whose mask has required positions cannot be left half filled.
void TMaskEdit::DoExit() {
    if (Modified() && !ValidateEdit()) {
        plat::MessageBox("Invalid input value.  Use escape key to abandon changes", "", plat::MsgDlgType::Error);
        if (CanFocus()) SetFocus();
        return;
    }
    TCustomEdit::DoExit();
}

}  // namespace vcl
