// The automation objects of the spreadsheet application: Application,
// Workbooks, Workbook, Worksheets, Worksheet, Range (one cell), Font.
//
// Ownership runs downwards: the application state holds its workbooks, a
// workbook its sheets. Objects point upwards weakly, so that dropping the
// application object ends the instance; an object whose application has
// quit or gone answers every call with the "disconnected" error, as a
// reference into a closed application process does.
#include "ExcelApplication.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "ClassRegistry.h"
#include "LongCall.h"
#include "SafeFile.h"
#include "SheetModel.h"
#include "StrUtils.h"
#include "XlsxFile.h"

namespace excel {

using plat::Args;
using plat::ArgAt;
using plat::EOleError;
using plat::Variant;
using plat::VarType;

namespace {

constexpr char kDisconnected[] = "The object invoked has disconnected from its clients";
constexpr char kBusy[] = "The message filter indicated that the application is busy";

// Constants of the application's object model.
constexpr int xlUnderlineStyleNone = -4142, xlUnderlineStyleSingle = 2, xlUnderlineStyleDouble = -4119,
              xlUnderlineStyleSingleAccounting = 4, xlUnderlineStyleDoubleAccounting = 5;
constexpr int xlColorIndexAutomatic = -4105, xlColorIndexNone = -4142;
constexpr int xlWorksheet = -4167, xlOpenXMLWorkbook = 51, xlWorkbookDefault = 51;

// The default 56-colour palette behind "ColorIndex", as 0xRRGGBB.
constexpr uint32_t kPalette[56] = {
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF, 0x800000, 0x008000,
    0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080, 0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF,
    0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF, 0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000,
    0x008080, 0x0000FF, 0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,
    0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696, 0x003366, 0x339966,
    0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333};

// The palette entry nearest to a colour (exact colours find themselves).
int NearestColorIndex(uint32_t rgb) {
    auto channel = [](uint32_t c, int shift) { return static_cast<int>((c >> shift) & 0xFF); };
    int best = 1;
    long bestDistance = -1;
    for (int i = 0; i < 56; ++i) {
        long d = 0;
        for (int shift : {16, 8, 0}) {
            long delta = channel(rgb, shift) - channel(kPalette[i], shift);
            d += delta * delta;
        }
        if (bestDistance < 0 || d < bestDistance) bestDistance = d, best = i + 1;
    }
    return best;
}

// Colours cross the automation boundary as 0x00BBGGRR.
uint32_t BgrToRgb(uint32_t bgr) { return (bgr & 0xFF) << 16 | (bgr & 0xFF00) | (bgr >> 16 & 0xFF); }
uint32_t RgbToBgr(uint32_t rgb) { return BgrToRgb(rgb); }

std::string FoldCase(const std::string& s) {
    std::string r = s;
    std::transform(r.begin(), r.end(), r.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return r;
}

[[noreturn]] void CannotSet(const std::string& property, const std::string& cls) {
    throw EOleError("Unable to set the " + property + " property of the " + cls + " class");
}

bool Given(const Variant& v) { return !v.IsEmpty(); }

// Characters of UTF-8 text (code points), as sheet names are measured.
size_t CharCount(const std::string& s) {
    return static_cast<size_t>(std::count_if(s.begin(), s.end(), [](unsigned char c) { return (c & 0xC0) != 0x80; }));
}

class Workbook;
class Worksheet;

struct AppState {
    bool Quit = false;
    bool Busy = false;   // saving: its caller waits and may be handling other calls meanwhile
    bool Visible = false;
    int SheetsInNewWorkbook = 3;
    int BookCounter = 0;
    std::vector<std::shared_ptr<Workbook>> Books;
    std::weak_ptr<Workbook> ActiveBook;
    struct {
        std::weak_ptr<Worksheet> Sheet;
        int Row = 0, Column = 0;
    } Selection;
};

using AppRef = std::shared_ptr<AppState>;

// The application behind an object; it refuses every call while a save
// runs, as an application busy with one call refuses the next.
AppRef Live(const std::weak_ptr<AppState>& app) {
    AppRef a = app.lock();
    if (!a || a->Quit) throw EOleError(kDisconnected);
    if (a->Busy) throw EOleError(kBusy);
    return a;
}

// Marks the application busy for the life of one long call.
class BusyCall {
public:
    explicit BusyCall(AppRef app) : app_(std::move(app)) { app_->Busy = true; }
    ~BusyCall() { app_->Busy = false; }
    BusyCall(const BusyCall&) = delete;
    BusyCall& operator=(const BusyCall&) = delete;

private:
    AppRef app_;
};

// ---- Workbook -------------------------------------------------------------

class Workbook : public plat::AutomationObject {
public:
    Workbook(std::weak_ptr<AppState> app, std::string name);
    void Init(int sheetCount);

    AppRef App() const { return Live(app_); }
    BookData& Data() { return data_; }
    const std::vector<std::shared_ptr<Worksheet>>& Sheets() const { return sheets_; }
    std::shared_ptr<Worksheet> ActiveSheetObject() const { return sheets_.at(data_.ActiveSheet); }
    void Activate(const Worksheet* sheet);
    bool NameTaken(const std::string& name, const Worksheet* except) const;
    // Adds `count` sheets before or after `anchor` (before the active sheet
    // without one); the last added becomes active and is returned.
    std::shared_ptr<Worksheet> AddSheets(const Worksheet* anchor, bool after, int count);
    Variant SheetItem(const Variant& key) const;

private:
    std::string NextSheetName();
    void SaveTo(const std::string& path, SaveTarget target);

    std::weak_ptr<AppState> app_;
    BookData data_;
    std::vector<std::shared_ptr<Worksheet>> sheets_;   // parallel to data_.Sheets
    int sheetCounter_ = 0;
    std::string name_;
    std::string fullName_;   // empty until saved under a name
    bool saved_ = true;
    friend class Worksheet;
};

// ---- Worksheet ------------------------------------------------------------

class Worksheet : public plat::AutomationObject {
public:
    Worksheet(std::weak_ptr<Workbook> book, std::shared_ptr<SheetData> data);

    std::shared_ptr<Workbook> Book() const {
        std::shared_ptr<Workbook> b = book_.lock();
        if (!b) throw EOleError(kDisconnected);
        b->App();
        return b;
    }
    SheetData& Data() { return *data_; }
    const std::shared_ptr<SheetData>& DataRef() const { return data_; }

    // Cell access for Range and Font; all raise for a cell outside the sheet.
    Variant CellValue(int row, int column);
    void SetCellValue(int row, int column, const Variant& value);
    const CellStyle& Style(int row, int column);
    template <class Change>
    void Restyle(int row, int column, Change change);
    void Select(int row, int column);

    static void CheckCell(int row, int column);
    Variant MakeRange(int row, int column);

private:
    std::weak_ptr<Workbook> book_;
    std::shared_ptr<SheetData> data_;
};

// ---- Range: one cell --------------------------------------------------------
//
// Range and Font objects are made for every cell an export formats, so they
// answer by comparing the member name instead of building a member table.

std::string UpperName(const std::string& s) {
    std::string r = s;
    std::transform(r.begin(), r.end(), r.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return r;
}

class CellObject : public plat::IDispatch {
public:
    CellObject(std::shared_ptr<Worksheet> sheet, int row, int column) : sheet_(std::move(sheet)), row_(row), column_(column) {}

    Variant Invoke(const std::string& member, plat::InvokeKind kind, Args& args) override {
        std::string name = UpperName(member);
        if (kind == plat::InvokeKind::PropertyPut) {
            if (args.empty()) throw EOleError("Property '" + member + "' put without a value");
            Put(name, member, args.back().Value);
            return {};
        }
        return Get(name, member);
    }

protected:
    virtual Variant Get(const std::string& name, const std::string& member) = 0;
    virtual void Put(const std::string& name, const std::string& member, const Variant& value) = 0;
    [[noreturn]] static void Unknown(const std::string& member) { throw EOleError(plat::UnknownMemberText(member)); }
    [[noreturn]] static void ReadOnly(const std::string& member) {
        throw EOleError("Property '" + member + "' is read-only");
    }

    std::shared_ptr<Worksheet> sheet_;
    int row_, column_;
};

class Range : public CellObject {
public:
    using CellObject::CellObject;

protected:
    Variant Get(const std::string& name, const std::string& member) override {
        if (name == "VALUE" || name == "VALUE2") return sheet_->CellValue(row_, column_);
        if (name == "NUMBERFORMAT") return FormatText(false);
        if (name == "NUMBERFORMATLOCAL") return FormatText(true);
        if (name == "FONT") return FontOf();
        if (name == "ROW") return Variant(static_cast<int32_t>(row_));
        if (name == "COLUMN") return Variant(static_cast<int32_t>(column_));
        if (name == "SELECT") {
            sheet_->Select(row_, column_);
            return Variant(true);
        }
        Unknown(member);
    }
    void Put(const std::string& name, const std::string& member, const Variant& v) override {
        if (name == "VALUE" || name == "VALUE2") return sheet_->SetCellValue(row_, column_, v);
        if (name == "NUMBERFORMAT" || name == "NUMBERFORMATLOCAL") return SetFormat(v);
        if (name == "FONT" || name == "ROW" || name == "COLUMN") ReadOnly(member);
        Unknown(member);
    }

private:
    Variant FormatText(bool local) {
        const std::string& f = sheet_->Style(row_, column_).NumberFormat;
        if (!f.empty()) return Variant(f);
        // The local name of General is the one of a Chinese installation.
        return Variant(local ? "G/通用格式" : "General");
    }
    void SetFormat(const Variant& v) {
        std::string f = v.ToString();
        if (f == "General" || f == "G/通用格式") f.clear();
        sheet_->Restyle(row_, column_, [&](CellStyle& s) { s.NumberFormat = f; });
    }
    Variant FontOf();
};

// ---- Font of one cell -------------------------------------------------------

class FontObject : public CellObject {
public:
    using CellObject::CellObject;

protected:
    Variant Get(const std::string& name, const std::string& member) override {
        const FontSpec& f = sheet_->Style(row_, column_).Font;
        if (name == "NAME") return Variant(f.Name);
        if (name == "SIZE") return Variant(f.Size);
        if (name == "BOLD") return Variant(f.Bold);
        if (name == "ITALIC") return Variant(f.Italic);
        if (name == "FONTSTYLE") return Variant(StyleName(f));
        if (name == "UNDERLINE") return Variant(static_cast<int32_t>(UnderlineCode(f.Underlined)));
        if (name == "STRIKETHROUGH") return Variant(f.Strikethrough);
        if (name == "COLOR") return Variant(static_cast<double>(f.AutoColor ? 0 : RgbToBgr(f.Rgb)));
        if (name == "COLORINDEX")
            return Variant(static_cast<int32_t>(f.AutoColor ? xlColorIndexAutomatic : NearestColorIndex(f.Rgb)));
        Unknown(member);
    }

    void Put(const std::string& name, const std::string& member, const Variant& v) override {
        if (name == "NAME") {
            std::string fontName = v.ToString();
            if (fontName.empty()) CannotSet("Name", "Font");
            return Change([&](FontSpec& f) { f.Name = fontName; });
        }
        if (name == "SIZE") {
            double size = v.ToDouble();
            if (!(size >= 1 && size <= 409)) CannotSet("Size", "Font");
            return Change([&](FontSpec& f) { f.Size = size; });
        }
        if (name == "BOLD") return Change([&](FontSpec& f) { f.Bold = v.ToBool(); });
        if (name == "ITALIC") return Change([&](FontSpec& f) { f.Italic = v.ToBool(); });
        if (name == "FONTSTYLE") return SetFontStyle(v.ToString());
        if (name == "UNDERLINE") return SetUnderline(v);
        if (name == "STRIKETHROUGH") return Change([&](FontSpec& f) { f.Strikethrough = v.ToBool(); });
        if (name == "COLOR") {
            int64_t bgr = v.ToInt64();
            if (bgr < 0 || bgr > 0xFFFFFF) CannotSet("Color", "Font");
            return Change([&](FontSpec& f) { f.AutoColor = false, f.Rgb = BgrToRgb(static_cast<uint32_t>(bgr)); });
        }
        if (name == "COLORINDEX") {
            int index = v.ToInt();
            if (index == xlColorIndexAutomatic || index == xlColorIndexNone)
                return Change([&](FontSpec& f) { f.AutoColor = true, f.Rgb = 0; });
            if (index < 1 || index > 56) CannotSet("ColorIndex", "Font");
            return Change([&](FontSpec& f) { f.AutoColor = false, f.Rgb = kPalette[index - 1]; });
        }
        Unknown(member);
    }

private:
    template <class F>
    void Change(F change) {
        sheet_->Restyle(row_, column_, [&](CellStyle& s) { change(s.Font); });
    }

    static std::string StyleName(const FontSpec& f) {
        if (f.Bold && f.Italic) return "Bold Italic";
        if (f.Bold) return "Bold";
        if (f.Italic) return "Italic";
        return "Regular";
    }
    // English or Chinese style names, words in either order.
    void SetFontStyle(const std::string& text) {
        bool bold = false, italic = false, any = false;
        std::string rest = FoldCase(text);
        auto take = [&](std::initializer_list<const char*> words, bool& flag) {
            for (const char* w : words) {
                size_t p = rest.find(w);
                if (p != std::string::npos) flag = true, any = true, rest.erase(p, std::char_traits<char>::length(w));
            }
        };
        bool regular = false;
        take({"bold", "加粗", "粗体"}, bold);
        take({"italic", "倾斜", "斜体"}, italic);
        take({"regular", "normal", "常规"}, regular);
        if (!any || rest.find_first_not_of(' ') != std::string::npos) CannotSet("FontStyle", "Font");
        Change([&](FontSpec& f) { f.Bold = bold, f.Italic = italic; });
    }
    static int UnderlineCode(Underline u) {
        switch (u) {
        case Underline::None: return xlUnderlineStyleNone;
        case Underline::Single: return xlUnderlineStyleSingle;
        case Underline::Double: return xlUnderlineStyleDouble;
        case Underline::SingleAccounting: return xlUnderlineStyleSingleAccounting;
        case Underline::DoubleAccounting: return xlUnderlineStyleDoubleAccounting;
        }
        return xlUnderlineStyleNone;
    }
    void SetUnderline(const Variant& v) {
        Underline u = Underline::None;
        if (v.Type() == VarType::Boolean) {
            u = v.ToBool() ? Underline::Single : Underline::None;
        } else {
            switch (v.ToInt()) {
            case xlUnderlineStyleNone: u = Underline::None; break;
            case xlUnderlineStyleSingle: u = Underline::Single; break;
            case xlUnderlineStyleDouble: u = Underline::Double; break;
            case xlUnderlineStyleSingleAccounting: u = Underline::SingleAccounting; break;
            case xlUnderlineStyleDoubleAccounting: u = Underline::DoubleAccounting; break;
            default: CannotSet("Underline", "Font");
            }
        }
        Change([&](FontSpec& f) { f.Underlined = u; });
    }
};

Variant Range::FontOf() {
    return Variant(plat::DispatchRef(std::make_shared<FontObject>(sheet_, row_, column_)));
}

// A whole-sheet row or column range, as far as its size.
class SpanObject : public plat::AutomationObject {
public:
    explicit SpanObject(int count) {
        Property("Count", [count](Args&) { return Variant(static_cast<int32_t>(count)); });
    }
};

// ---- Worksheet members ----------------------------------------------------------

Worksheet::Worksheet(std::weak_ptr<Workbook> book, std::shared_ptr<SheetData> data)
    : book_(std::move(book)), data_(std::move(data)) {
    Property("Name", [this](Args&) { Book(); return Variant(data_->Name); },
             [this](Args&, const Variant& v) {
                 std::shared_ptr<Workbook> b = Book();
                 std::string name = v.ToString();
                 size_t length = CharCount(name);
                 if (length == 0 || length > 31 || name.find_first_of("[]:*?/\\") != std::string::npos ||
                     name.front() == '\'' || name.back() == '\'')
                     throw EOleError("You typed an invalid name for a sheet: \"" + name + "\"");
                 if (b->NameTaken(name, this))
                     throw EOleError("Cannot rename a sheet to the same name as another sheet: \"" + name + "\"");
                 data_->Name = name;
                 b->saved_ = false;
             });
    // Cells(row, column) gives the cell; Cells(row, column) := value writes
    // it in one call, the way exports fill a sheet cell by cell.
    Property("Cells",
             [this](Args& args) {
                 if (args.size() < 2) throw EOleError("Cells needs a row and a column");
                 return MakeRange(ArgAt(args, 0).ToInt(), ArgAt(args, 1).ToInt());
             },
             [this](Args& args, const Variant& v) {
                 if (args.size() < 2) throw EOleError("Cells needs a row and a column");
                 SetCellValue(ArgAt(args, 0).ToInt(), ArgAt(args, 1).ToInt(), v);
             });
    Property("Index", [this](Args&) {
        std::shared_ptr<Workbook> b = Book();
        const auto& sheets = b->Sheets();
        for (size_t i = 0; i < sheets.size(); ++i)
            if (sheets[i].get() == this) return Variant(static_cast<int32_t>(i + 1));
        throw EOleError(kDisconnected);
    });
    Property("Rows", [this](Args&) { Book(); return Variant(plat::DispatchRef(std::make_shared<SpanObject>(kMaxRows))); });
    Property("Columns", [this](Args&) {
        Book();
        return Variant(plat::DispatchRef(std::make_shared<SpanObject>(kMaxColumns)));
    });
    Method("Activate", [this](Args&) {
        Book()->Activate(this);
        return Variant();
    });
}

void Worksheet::CheckCell(int row, int column) {
    if (!IsValidCell(row, column))
        throw EOleError("Cells(" + std::to_string(row) + ", " + std::to_string(column) +
                        ") lies outside the sheet: rows 1 to " + std::to_string(kMaxRows) + ", columns 1 to " +
                        std::to_string(kMaxColumns));
}

Variant Worksheet::MakeRange(int row, int column) {
    Book();
    CheckCell(row, column);
    auto self = std::static_pointer_cast<Worksheet>(shared_from_this());
    return Variant(plat::DispatchRef(std::make_shared<Range>(self, row, column)));
}

Variant Worksheet::CellValue(int row, int column) {
    std::shared_ptr<Workbook> b = Book();
    CheckCell(row, column);
    const Cell* cell = data_->Find(row, column);
    if (!cell) return {};
    const BookData& book = b->Data();
    switch (cell->Kind()) {
    case CellKind::Blank: return {};
    case CellKind::Number: return Variant(book.Numbers.At(cell->NumberId()));
    case CellKind::Boolean: return Variant(cell->Boolean());
    case CellKind::Text: return Variant(std::string(book.Strings.At(cell->TextId())));
    }
    return {};
}

// A value is pooled before its cell is made, so that a pool that cannot
// take it leaves the cell as it was.
void Worksheet::SetCellValue(int row, int column, const Variant& value) {
    std::shared_ptr<Workbook> b = Book();
    CheckCell(row, column);
    BookData& book = b->Data();
    const Cell* existing = data_->Find(row, column);
    uint32_t style = existing ? existing->Style() : 0;
    b->saved_ = false;
    auto cell = [&]() -> Cell& { return data_->Ensure(row, column); };
    auto clear = [&] {
        if (!data_->Find(row, column)) return;
        cell().SetBlank();
        data_->DropIfDefault(row, column);
    };
    auto storeNumber = [&](double number) {
        uint32_t id = book.Numbers.Intern(number);
        cell().SetNumber(id);
    };
    auto storeText = [&](std::string_view text) {
        uint32_t id = book.Strings.Intern(text);
        cell().SetText(id);
    };
    switch (value.Type()) {
    case VarType::Empty:
    case VarType::Null:
        clear();
        return;
    case VarType::Boolean:
        cell().SetBoolean(value.ToBool());
        return;
    case VarType::SmallInt:
    case VarType::Integer:
    case VarType::Double:
    case VarType::Currency:
    case VarType::ShortInt:
    case VarType::Byte:
    case VarType::Int64: {
        double number = value.ToDouble();
        if (!std::isfinite(number)) throw EOleError("Type mismatch: a cell cannot hold " + value.ToString());
        storeNumber(number);
        return;
    }
    case VarType::Date: {
        double serial = value.ToDouble();
        if (book.Styles.At(style).NumberFormat.empty()) {
            CellStyle dated = book.Styles.At(style);
            dated.NumberFormat = serial == std::floor(serial) ? "yyyy/m/d" : "yyyy/m/d h:mm";
            style = book.Styles.Intern(dated);
        }
        storeNumber(serial);
        cell().SetStyle(style);
        return;
    }
    case VarType::String: {
        const std::string& text = value.ToString();
        if (plat::Utf16Length(text) > kMaxTextLength) throw EOleError("A cell holds at most 32767 characters");
        if (text.empty()) {
            clear();
            return;
        }
        if (!book.Styles.At(style).IsText()) {
            // Typed input: numbers and truth values become values; a leading
            // apostrophe keeps the rest as text and is not part of it.
            double number = 0;
            if (ParseNumberText(text, number)) {
                storeNumber(number);
                return;
            }
            std::string folded = FoldCase(text);
            if (folded == "true" || folded == "false") {
                cell().SetBoolean(folded == "true");
                return;
            }
            if (text.front() == '\'') {
                if (text.size() == 1) clear();
                else storeText(std::string_view(text).substr(1));
                return;
            }
        }
        storeText(text);
        return;
    }
    default:
        throw EOleError(std::string("Type mismatch: a cell cannot hold a value of type ") + plat::VarTypeName(value.Type()));
    }
}

const CellStyle& Worksheet::Style(int row, int column) {
    std::shared_ptr<Workbook> b = Book();
    CheckCell(row, column);
    const Cell* cell = data_->Find(row, column);
    return b->Data().Styles.At(cell ? cell->Style() : 0);
}

// The new style is numbered before the cell is made, so that a style table
// that is full leaves the sheet as it was.
template <class Change>
void Worksheet::Restyle(int row, int column, Change change) {
    std::shared_ptr<Workbook> b = Book();
    CheckCell(row, column);
    BookData& book = b->Data();
    const Cell* existing = data_->Find(row, column);
    CellStyle style = book.Styles.At(existing ? existing->Style() : 0);
    change(style);
    uint32_t id = book.Styles.Intern(style);
    data_->Ensure(row, column).SetStyle(id);
    b->saved_ = false;
    data_->DropIfDefault(row, column);
}

void Worksheet::Select(int row, int column) {
    std::shared_ptr<Workbook> b = Book();
    AppRef app = b->App();
    CheckCell(row, column);
    // Only a cell of the sheet on show can be selected.
    if (app->ActiveBook.lock() != b || b->ActiveSheetObject().get() != this)
        throw EOleError("Select method of Range class failed");
    app->Selection.Sheet = std::static_pointer_cast<Worksheet>(shared_from_this());
    app->Selection.Row = row;
    app->Selection.Column = column;
}

// ---- Worksheets collection ----------------------------------------------------

class WorksheetsObject : public plat::AutomationObject {
public:
    explicit WorksheetsObject(std::weak_ptr<Workbook> book) : book_(std::move(book)) {
        Property("Count", [this](Args&) { return Variant(static_cast<int32_t>(Book()->Sheets().size())); });
        Property("Item", [this](Args& args) { return Book()->SheetItem(ArgAt(args, 0)); });
        // Add(Before, After, Count, Type)
        Method("Add", [this](Args& args) {
            std::shared_ptr<Workbook> b = Book();
            const Variant& before = ArgAt(args, 0);
            const Variant& after = ArgAt(args, 1);
            int count = Given(ArgAt(args, 2)) ? ArgAt(args, 2).ToInt() : 1;
            if (Given(before) && Given(after)) throw EOleError("Add method of Sheets class failed: both Before and After");
            if (count < 1) throw EOleError("Add method of Sheets class failed: Count " + std::to_string(count));
            if (Given(ArgAt(args, 3)) && ArgAt(args, 3).ToInt() != xlWorksheet)
                throw EOleError("Add method of Sheets class failed: only worksheets can be added");
            const Variant& anchorArg = Given(before) ? before : after;
            const Worksheet* anchor = nullptr;
            if (Given(anchorArg)) {
                anchor = dynamic_cast<const Worksheet*>(anchorArg.ToDispatch().get());
                if (!anchor || anchor->Book() != b) throw EOleError("Add method of Sheets class failed: not a sheet of this workbook");
            }
            return Variant(plat::DispatchRef(b->AddSheets(anchor, Given(after), count)));
        });
    }

private:
    std::shared_ptr<Workbook> Book() const {
        std::shared_ptr<Workbook> b = book_.lock();
        if (!b) throw EOleError(kDisconnected);
        b->App();
        return b;
    }
    std::weak_ptr<Workbook> book_;
};

// ---- Workbook members ---------------------------------------------------------

Workbook::Workbook(std::weak_ptr<AppState> app, std::string name) : app_(std::move(app)), name_(std::move(name)) {
    Property("Name", [this](Args&) { App(); return Variant(name_); });
    Property("FullName", [this](Args&) { App(); return Variant(fullName_.empty() ? name_ : fullName_); });
    Property("Path", [this](Args&) {
        App();
        return Variant(fullName_.empty() ? std::string() : std::filesystem::path(fullName_).parent_path().string());
    });
    Property("Saved", [this](Args&) { App(); return Variant(saved_); });
    Property("ActiveSheet", [this](Args&) { App(); return Variant(plat::DispatchRef(ActiveSheetObject())); });
    auto sheets = [this](Args&) {
        App();
        auto self = std::static_pointer_cast<Workbook>(shared_from_this());
        return Variant(plat::DispatchRef(std::make_shared<WorksheetsObject>(self)));
    };
    Property("Worksheets", sheets);
    Property("Sheets", sheets);
    // SaveAs(FileName, FileFormat, ...): Office Open XML whatever the name's
    // extension, as the application does when no other format is asked for.
    // An existing file is never replaced: the application would ask, and an
    // automation client cannot answer, so the save fails instead.
    Method("SaveAs", [this](Args& args) {
        App();
        std::string file = ArgAt(args, 0).ToString();
        if (file.empty()) throw EOleError("SaveAs method of Workbook class failed: no file name");
        const Variant& format = ArgAt(args, 1);
        if (Given(format) && format.ToInt() != xlOpenXMLWorkbook && format.ToInt() != xlWorkbookDefault)
            throw EOleError("SaveAs method of Workbook class failed: file format " + format.ToString() +
                            " cannot be written; only Office Open XML (51)");
        SaveTo(std::filesystem::absolute(file).lexically_normal().string(), SaveTarget::NewFile);
        return Variant(true);
    });
    // A workbook that has never been saved has no file to save into; the
    // application would ask for a name, which an automation client cannot answer.
    Method("Save", [this](Args&) {
        App();
        if (fullName_.empty()) throw EOleError("Save method of Workbook class failed: " + name_ + " has no file yet");
        SaveTo(fullName_, SaveTarget::OwnFile);
        return Variant(true);
    });
    Method("Activate", [this](Args&) {
        App()->ActiveBook = std::static_pointer_cast<Workbook>(shared_from_this());
        return Variant();
    });
}

void Workbook::Init(int sheetCount) {
    AddSheets(nullptr, false, sheetCount);
    data_.ActiveSheet = 0;
    saved_ = true;
}

std::string Workbook::NextSheetName() {
    std::string name;
    do name = "Sheet" + std::to_string(++sheetCounter_);
    while (NameTaken(name, nullptr));
    return name;
}

bool Workbook::NameTaken(const std::string& name, const Worksheet* except) const {
    std::string folded = FoldCase(name);
    for (size_t i = 0; i < sheets_.size(); ++i)
        if (sheets_[i].get() != except && FoldCase(data_.Sheets[i]->Name) == folded) return true;
    return false;
}

std::shared_ptr<Worksheet> Workbook::AddSheets(const Worksheet* anchor, bool after, int count) {
    auto self = std::static_pointer_cast<Workbook>(shared_from_this());
    size_t at = sheets_.empty() ? 0 : data_.ActiveSheet;
    if (anchor)
        for (size_t i = 0; i < sheets_.size(); ++i)
            if (sheets_[i].get() == anchor) at = after ? i + 1 : i;
    std::shared_ptr<Worksheet> added;
    for (int n = 0; n < count; ++n, ++at) {
        auto data = std::make_shared<SheetData>(NextSheetName());
        added = std::make_shared<Worksheet>(self, data);
        data_.Sheets.insert(data_.Sheets.begin() + static_cast<std::ptrdiff_t>(at), data);
        sheets_.insert(sheets_.begin() + static_cast<std::ptrdiff_t>(at), added);
    }
    data_.ActiveSheet = at - 1;
    saved_ = false;
    return added;
}

void Workbook::Activate(const Worksheet* sheet) {
    for (size_t i = 0; i < sheets_.size(); ++i)
        if (sheets_[i].get() == sheet) data_.ActiveSheet = i;
    App()->ActiveBook = std::static_pointer_cast<Workbook>(shared_from_this());
}

Variant Workbook::SheetItem(const Variant& key) const {
    if (key.IsString()) {
        std::string folded = FoldCase(key.ToString());
        for (size_t i = 0; i < sheets_.size(); ++i)
            if (FoldCase(data_.Sheets[i]->Name) == folded) return Variant(plat::DispatchRef(sheets_[i]));
    } else {
        int index = key.ToInt();
        if (index >= 1 && static_cast<size_t>(index) <= sheets_.size())
            return Variant(plat::DispatchRef(sheets_[static_cast<size_t>(index - 1)]));
    }
    throw EOleError("Subscript out of range: no sheet " + key.ToString());
}

// Saving a long workbook takes seconds: it runs as a long call, so that a
// caller waiting with a handler keeps its windows alive and sees the rows
// written and packed. The workbook is kept alive and the application busy
// until the file is written, whatever the caller does meanwhile. An error
// of the caller's handler reaches the caller once the save is recorded.
void Workbook::SaveTo(const std::string& path, SaveTarget target) {
    auto self = shared_from_this();
    BusyCall busy(App());
    SaveProgress progress;
    std::exception_ptr handlerError;
    try {
        plat::RunLongCall([&] { WriteXlsxFile(data_, path, target, &progress); }, [&] { return progress.Now(); });
    } catch (const plat::FileExistsError&) {
        throw EOleError("A file named '" + path + "' already exists in this location");
    } catch (const std::exception& e) {
        if (!progress.Finished()) throw EOleError(std::string("The file could not be saved: ") + e.what());
        handlerError = std::current_exception();
    }
    fullName_ = path;
    name_ = std::filesystem::path(path).filename().string();
    saved_ = true;
    if (handlerError) std::rethrow_exception(handlerError);
}

// ---- Workbooks collection -----------------------------------------------------

class WorkbooksObject : public plat::AutomationObject {
public:
    explicit WorkbooksObject(std::weak_ptr<AppState> app) : app_(std::move(app)) {
        Property("Count", [this](Args&) { return Variant(static_cast<int32_t>(Live(app_)->Books.size())); });
        Property("Item", [this](Args& args) {
            AppRef app = Live(app_);
            int index = ArgAt(args, 0).ToInt();
            if (index < 1 || static_cast<size_t>(index) > app->Books.size())
                throw EOleError("Subscript out of range: no workbook " + std::to_string(index));
            return Variant(plat::DispatchRef(app->Books[static_cast<size_t>(index - 1)]));
        });
        // Add(Template): a new workbook of SheetsInNewWorkbook sheets, active.
        Method("Add", [this](Args& args) {
            AppRef app = Live(app_);
            if (Given(ArgAt(args, 0))) throw EOleError("Add method of Workbooks class failed: templates are not supported");
            auto book = std::make_shared<Workbook>(app_, "Book" + std::to_string(++app->BookCounter));
            book->Init(app->SheetsInNewWorkbook);
            app->Books.push_back(book);
            app->ActiveBook = book;
            return Variant(plat::DispatchRef(book));
        });
    }

private:
    std::weak_ptr<AppState> app_;
};

// ---- Application ------------------------------------------------------------------

class Application : public plat::AutomationObject {
public:
    Application() : state_(std::make_shared<AppState>()) {
        Property("Visible", [this](Args&) { return Variant(Live(state_)->Visible); },
                 [this](Args&, const Variant& v) { Live(state_)->Visible = v.ToBool(); });
        Property("SheetsInNewWorkbook", [this](Args&) { return Variant(static_cast<int32_t>(Live(state_)->SheetsInNewWorkbook)); },
                 [this](Args&, const Variant& v) {
                     AppRef app = Live(state_);
                     int n = v.ToInt();
                     if (n < 1 || n > 255) CannotSet("SheetsInNewWorkbook", "Application");
                     app->SheetsInNewWorkbook = n;
                 });
        Property("Workbooks", [this](Args&) {
            Live(state_);
            return Variant(plat::DispatchRef(std::make_shared<WorkbooksObject>(state_)));
        });
        Property("ActiveWorkbook", [this](Args&) {
            std::shared_ptr<Workbook> book = Live(state_)->ActiveBook.lock();
            return book ? Variant(plat::DispatchRef(book)) : Variant();
        });
        Property("ActiveSheet", [this](Args&) {
            std::shared_ptr<Workbook> book = Live(state_)->ActiveBook.lock();
            return book ? Variant(plat::DispatchRef(book->ActiveSheetObject())) : Variant();
        });
        Property("ActiveCell", [this](Args&) {
            AppRef app = Live(state_);
            std::shared_ptr<Worksheet> sheet = app->Selection.Sheet.lock();
            if (!sheet) return Variant();
            return sheet->MakeRange(app->Selection.Row, app->Selection.Column);
        });
        // Closes every workbook without saving; the instance is gone after.
        Method("Quit", [this](Args&) {
            AppRef app = Live(state_);
            app->Quit = true;
            app->Books.clear();
            app->Selection.Sheet.reset();
            return Variant();
        });
    }

    ~Application() override {
        // The instance ends with its application object; its workbooks are
        // released so that references still held elsewhere see it gone.
        state_->Quit = true;
        state_->Books.clear();
    }

private:
    AppRef state_;
};

}  // namespace

plat::DispatchRef NewApplication() { return std::make_shared<Application>(); }

void RegisterExcelApplication() {
    plat::RegisterClassFactory(kProgId, [] { return NewApplication(); });
}

}  // namespace excel
