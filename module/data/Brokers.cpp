// The broker between a program window and the host shell's services. Every
// operation tests that the service it needs is an automation object before
// calling it, passes the arguments in the order and by-reference manner the
// host expects, and reads the host's answers defensively: an answer of an
// unexpected shape (a short array, a Null cell) reads as empty instead of
// failing. Coded messages are composed here, down to the dialog's buttons,
// captions and font.
#include "Brokers.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "Dialogs.h"
#include "Dispatch.h"
#include "Format.h"
#include "StrUtils.h"
#include "SystemInfo.h"
#include "lang/LanguageController.h"

using plat::Arg;
using plat::ByRef;
using plat::ByVal;
using plat::Variant;
using plat::VarArrayOf;

namespace {

const char* const kUnknownSeq = "unKnow";
// The broker's own texts: package key and designed text.
const char* const kContinueKey = "sContinue";
const char* const kContinueQuestion = "是否继续?";
const char* const kUpdatePickerKey = "sUpdatePicker";
const char* const kUpdatePickerHint = "请更新PickerC.dll";

// Text of a host answer; Empty, Null, arrays and objects read as "".
std::string TextOf(const Variant& v) { return plat::VarToStr(v); }

// Element `i` of a one-dimensional array answer, Empty when out of bounds.
Variant ElementAt(const Variant& array, int i) {
    if (!array.IsArray() || array.Array().DimCount() != 1) return {};
    const plat::VarArray& a = array.Array();
    if (i < a.LowBound() || i > a.HighBound()) return {};
    return a.At(i);
}

// Whole number in `text` (blanks around allowed); nullopt otherwise.
std::optional<int> ParseInt(const std::string& text) {
    std::string t = plat::TrimBlanks(text);
    int value = 0;
    auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (t.empty() || error != std::errc() || end != t.data() + t.size()) return std::nullopt;
    return value;
}

// Names of the key fields in a comma-separated list; empty pieces (such as
// the one after the customary final comma) name nothing.
std::vector<std::string> FieldNames(const std::string& fieldList) {
    std::vector<std::string> names;
    size_t start = 0;
    for (;;) {
        size_t comma = fieldList.find(',', start);
        std::string piece = plat::TrimBlanks(fieldList.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (!piece.empty()) names.push_back(piece);
        if (comma == std::string::npos) return names;
        start = comma + 1;
    }
}

// ---- coded message dialogs ----

struct KindStyle {
    plat::MsgDlgType type;
    std::vector<plat::MsgDlgBtn> buttons;
};

KindStyle StyleOfKind(const std::string& kind) {
    using B = plat::MsgDlgBtn;
    using T = plat::MsgDlgType;
    if (kind == "T") return {T::Error, {B::Yes, B::No, B::Cancel, B::YesToAll}};
    if (kind == "C") return {T::Warning, {B::OK, B::Cancel}};
    if (kind == "D") return {T::Warning, {B::Yes, B::No, B::Cancel}};
    if (kind == "E") return {T::Error, {B::OK}};
    if (kind == "I") return {T::Information, {B::OK}};
    if (kind == "Q") return {T::Confirmation, {B::OK, B::Cancel}};
    if (kind == "W") return {T::Warning, {B::OK, B::Cancel}};
    return {T::Custom, {B::OK}};
}

std::string ChineseCaption(plat::MsgDlgBtn button) {
    switch (button) {
    case plat::MsgDlgBtn::Yes: return "是(&Y)";
    case plat::MsgDlgBtn::No: return "否(&N)";
    case plat::MsgDlgBtn::OK: return "确定";
    case plat::MsgDlgBtn::Cancel: return "取消";
    case plat::MsgDlgBtn::Abort: return "中断(&A)";
    case plat::MsgDlgBtn::Retry: return "重试(&R)";
    case plat::MsgDlgBtn::Ignore: return "忽略(&I)";
    case plat::MsgDlgBtn::All: return "全部(&A)";
    case plat::MsgDlgBtn::NoToAll: return "全否(&o)";
    case plat::MsgDlgBtn::YesToAll: return "全是(&A)";
    case plat::MsgDlgBtn::Help: return "帮助(&H)";
    }
    return {};
}

// Index in `buttons` of the button at position `listPosition` of the full
// button list (Yes, No, OK, ... Help); -1 when the dialog does not show it.
int DefaultButtonIndex(const std::vector<plat::MsgDlgBtn>& buttons, int listPosition) {
    if (listPosition < 0 || listPosition > static_cast<int>(plat::MsgDlgBtn::Help)) return -1;
    for (size_t i = 0; i < buttons.size(); ++i)
        if (static_cast<int>(buttons[i]) == listPosition) return static_cast<int>(i);
    return -1;
}

}  // namespace

const vcl::TClassInfo& TBrokers::StaticClass() {
    static const vcl::TClassInfo info{"TBrokers", &vcl::TComponent::StaticClass(), {}, nullptr};
    return info;
}

TBrokers::TBrokers(vcl::TComponent* owner, IBrokerOwner* window) : vcl::TComponent(owner), window_(window) {}

TBrokers::~TBrokers() {
    // Releases the host's objects now rather than whenever the variants go.
    HostObject = Variant();
    LookupService = Variant();
    ValidatorService = Variant();
    CounterService = Variant();
}

// ---- the owner window ----

intptr_t TBrokers::OwnerHandle() const { return window_ ? window_->OwnerHandle() : 0; }
std::string TBrokers::UICodePage() const { return window_ ? window_->UICodePage() : std::string(); }
std::string TBrokers::DBCodePage() const { return window_ ? window_->DBCodePage() : std::string(); }
int TBrokers::ConversionMode() const { return window_ ? window_->UIConversionMode() : 0; }
bool TBrokers::HasUserRight(int element) const { return window_ && window_->HasUserRight(element); }

// Text in the window's display script; only conversion modes 1 and 2 convert.
std::string TBrokers::ToDisplay(const std::string& text) const {
    int mode = ConversionMode();
    return window_ && (mode == 1 || mode == 2) ? window_->ToDisplayText(text) : text;
}

// ---- services and parameters ----

bool TBrokers::BindServices() {
    if (!HostObject.IsDispatch()) return false;
    try {
        if ((Services & kBindValidator) && !ValidatorService.IsDispatch())
            ValidatorService = plat::GetProperty(HostObject, "Com_Validator");
        if ((Services & kBindLookup) && !LookupService.IsDispatch())
            LookupService = plat::GetProperty(HostObject, "Com_Picker");
        if ((Services & kBindCounter) && !CounterService.IsDispatch())
            CounterService = plat::GetProperty(HostObject, "Com_Counter");
        LoadProgramInfo();
        return true;
    } catch (const std::exception&) {
        for (int i = 0; i < 3; ++i) plat::Beep();
        return false;
    }
}

// The host answers the parameters as name=value lines in one text; an
// array of lines is taken as well.
bool TBrokers::LoadSysParams() {
    if (!CounterService.IsDispatch()) return false;
    Variant company = CompanyID;
    Variant answer = plat::CallMethod(CounterService, "GetSysInfo", {ByRef(company)});
    if (answer.IsArray() && answer.Array().DimCount() == 1) {
        if (!plat::HasRows(answer)) return false;
        SysParams.Clear();
        for (int i = answer.Array().LowBound(); i <= answer.Array().HighBound(); ++i)
            SysParams.Add(TextOf(answer.Array().At(i)));
        return true;
    }
    std::string text = TextOf(answer);
    if (text.empty()) return false;
    SysParams.SetText(text);
    return true;
}

std::string TBrokers::GetSysParam(const std::string& name) const {
    return name.empty() ? std::string() : SysParams.Values(name);
}

void TBrokers::SetSysParam(const std::string& name, const std::string& value) {
    if (!name.empty()) SysParams.SetValue(name, value);
}

int TBrokers::GetMaxRecord() const {
    std::optional<int> n = ParseInt(UserInfo.Values("MAX_RECORD"));
    if (!n) return 0;
    return std::min(*n, 40);
}

// ---- server calls and code checks ----

Variant TBrokers::CallServer(const std::string& methodName, const Variant& params) {
    if (!CounterService.IsDispatch()) return {};
    Variant method = methodName;
    Variant parameters = params;
    Variant context = VarArrayOf({CompanyID, DatabaseName});
    return plat::CallMethod(CounterService, "GETCOUNTER", {ByRef(method), ByRef(parameters), ByVal(context)});
}

// The validator members share one shape: table, kind, then database, key and
// answer by reference. The broker's own database name is not replaced by
// what the host leaves in its copy.
bool TBrokers::Validate(const std::string& member, const std::string& table, const std::string& kind,
                        const Variant& key, Variant& answer) {
    if (!ValidatorService.IsDispatch()) return false;
    try {
        Variant database = DatabaseName;
        Variant keyValue = key;
        Variant result = plat::CallMethod(ValidatorService, member,
                                          {ByVal(table), ByVal(kind), ByRef(database), ByRef(keyValue), ByRef(answer)});
        return result.ToBool();
    } catch (const std::exception&) {
        return false;
    }
}

bool TBrokers::CheckValue(const std::string& table, const std::string& kind, const Variant& key, Variant& answer) {
    return Validate("CheckValue", table, kind, key, answer);
}

bool TBrokers::QueryData(const std::string& table, const std::string& kind, const Variant& key, Variant& answer) {
    return Validate("QueryData", table, kind, key, answer);
}

// Every named field contributes its value, also a last one written without
// the customary final comma: dropping it would ask for the sequence of a
// shorter key than the caller named.
void TBrokers::QueryMaxSeq(const FieldReader& dataSet, const std::string& table, std::string& result,
                           const Variant& extra, const std::string& fieldList) {
    result = kUnknownSeq;
    if (!ValidatorService.IsDispatch()) return;
    try {
        std::vector<Variant> values;
        for (const std::string& name : FieldNames(fieldList)) values.emplace_back(dataSet ? dataSet(name) : std::string());
        Variant tableArg = table, fields = fieldList, valueArray = VarArrayOf(values), extraArg = extra;
        Variant program = ProgramCode, database = DatabaseName, answer;
        Variant ok = plat::CallMethod(ValidatorService, "QueryMaxSeq",
                                      {ByRef(tableArg), ByRef(fields), ByRef(valueArray), ByRef(extraArg),
                                       ByRef(program), ByRef(database), ByRef(answer)});
        if (ok.ToBool()) result = answer.ToString();
    } catch (const std::exception&) {
        result = kUnknownSeq;
    }
}

void TBrokers::QueryMaxSeq(vcl::TClientDataSet& dataSet, const std::string& table, std::string& result,
                           const Variant& extra, const std::string& fieldList) {
    QueryMaxSeq([&dataSet](const std::string& name) { return dataSet.FieldByName(name)->AsString(); }, table, result,
                extra, fieldList);
}

// ---- messages ----

std::string TBrokers::GetMessageText(const std::string& kind, const std::string& code) {
    if (!HostObject.IsDispatch()) return {};
    return TextOf(plat::CallMethod(HostObject, "GetMessage", {ByVal(kind), ByVal(code)}));
}

int TBrokers::ShowCodedMessage(const std::string& kind, const std::string& code, const std::vector<Variant>& args,
                               int codePage, bool abortOnCancel, int defaultButton) {
    std::string text = ToDisplay(GetMessageText(kind == "T" ? "E" : kind, code));
    if (UICodePage() == "950" || DBCodePage() == "950") text += "    ";
    text = plat::Format(text + " ", args);
    if (kind == "T") text += "\n" + OwnText(kContinueKey, kContinueQuestion);

    int mode = ConversionMode();
    KindStyle style = StyleOfKind(kind);
    plat::MessageDialog dialog;
    dialog.Text = mode != 0 || plat::GetACP() != 936 ? text + "      " : text;
    dialog.Caption = window_ ? ToDisplay(window_->OwnerCaption()) : std::string();
    dialog.Type = style.type;
    dialog.Buttons = style.buttons;
    if (UICodePage() != "437")
        for (plat::MsgDlgBtn button : dialog.Buttons)
            dialog.ButtonCaptions[button] = mode == 2 ? window_->ToDisplayText(ChineseCaption(button))
                                                      : ChineseCaption(button);
    dialog.DefaultButton = DefaultButtonIndex(dialog.Buttons, defaultButton);
    dialog.FontName = "SimSun";
    dialog.FontCharset = mode == 2 || mode == 3 ? 136 : 134;

    int result = plat::Dialogs().ShowMessageDialog(dialog);
    if (window_) window_->AfterMessage();
    if (kind == "W" && abortOnCancel && result != plat::mrOk) throw plat::EAbort();
    return result;
}

// ---- lookup window and friends ----

// The host's product number; 3 when the host cannot tell.
Variant TBrokers::ProductID() {
    try {
        return plat::GetProperty(HostObject, "ProductID").ToInt();
    } catch (const std::exception&) {
        return 3;
    }
}

void TBrokers::F2GetData(const std::string& table, const std::string& mode, Variant& answer, const std::string& text13,
                         const std::string& text12, const std::string& text11, intptr_t handle,
                         const std::string& spare, bool flag9, bool flag3, const std::string& text4,
                         const Variant& start) {
    if (!LookupService.IsDispatch()) {
        answer = Variant();
        return;
    }
    plat::VarArray p(0, 18);
    p.At(0) = table;
    p.At(1) = mode;
    p.At(2) = start;
    p.At(3) = flag3;
    p.At(4) = text4;
    p.At(5) = CompanyID;
    p.At(6) = DatabaseName;
    p.At(7) = static_cast<int64_t>(handle != 0 ? handle : OwnerHandle());
    p.At(8) = 1;
    p.At(9) = flag9;
    p.At(10) = ProductID();
    p.At(11) = text11;
    p.At(12) = text12;
    p.At(13) = text13;
    p.At(14) = UserInfo.Values("BaseLimited");
    p.At(15) = HasUserRight(33) || HasUserRight(35);
    p.At(16) = HasUserRight(32) || HasUserRight(34);
    p.At(17) = HostObject;
    p.At(18) = UserID;
    Variant params(std::move(p));
    answer = plat::CallMethod(LookupService, "F2GetData", {ByRef(params)});
}

std::string TBrokers::ShowInputDay(bool shiftedYears, const Variant& value) {
    if (!LookupService.IsDispatch()) return {};
    Variant request = VarArrayOf({shiftedYears, value, DatabaseName});
    return TextOf(plat::CallMethod(LookupService, "ShowInputDay", {ByVal(request)}));
}

std::string TBrokers::GetPhrase(const std::string& text) {
    if (!LookupService.IsDispatch()) return {};
    Variant phrase = text;
    Variant code = plat::CallMethod(LookupService, "GetPhrase2",
                                    {ByVal(UserID), ByVal(CompanyID), ByVal(static_cast<int64_t>(OwnerHandle())),
                                     ByRef(phrase)});
    std::optional<int> n = code.IsNumeric() ? std::optional<int>(code.ToInt()) : ParseInt(TextOf(code));
    return n && *n >= 0 ? TextOf(phrase) : std::string();
}

std::string TBrokers::GetCalcValue(const std::string& expression) {
    if (!LookupService.IsDispatch()) return {};
    try {
        Variant expr = expression;
        return TextOf(plat::CallMethod(LookupService, "GetCalcValue",
                                       {ByRef(expr), ByVal(static_cast<int64_t>(OwnerHandle()))}));
    } catch (const std::exception&) {
        ShowCodedMessage("E", "000032", {OwnText(kUpdatePickerKey, kUpdatePickerHint)});
        return {};
    }
}

Variant TBrokers::ShowCharacters(int number, bool flag, const std::string& text1, const std::string& text2,
                                 const std::string& text3) {
    if (!LookupService.IsDispatch()) return {};
    Variant t1 = text1.empty() ? UserID : text1;
    Variant t2 = text2.empty() ? CompanyID : text2;
    Variant t3 = text3.empty() ? std::to_string(OwnerHandle()) : text3;
    Variant n = number;
    return plat::CallMethod(LookupService, "ShowCharaters", {ByRef(t1), ByRef(t2), ByRef(n), ByVal(flag), ByRef(t3)});
}

// ---- other programs ----

std::string TBrokers::OwnText(const std::string& key, const std::string& designed) const {
    std::string text;
    if (GetLangMessage(TDesignType::dtClient, "TBrokers", key, text, designed)) return text;
    return ToDisplay(designed);
}

std::string TBrokers::ExecWorkErrorText(int code) const {
    const char* designed = nullptr;
    switch (code) {
    case -1: designed = "[%s]作业程序文档不存在!"; break;
    case -2: designed = "[%s]作业程序文档装入失败!"; break;
    case -3: designed = "[%s]作业程序启动时无法录入公用元件!"; break;
    case -4: designed = "[%s]作业程序启动时取作业权限错误!"; break;
    case -5: designed = "[%s]作业程序无运行作业权限!"; break;
    case -6: designed = "[%s]作业程序起始化错误!"; break;
    case -7: designed = "[%s]作业程序发生不可预知的错误!"; break;
    default: return {};
    }
    return OwnText("sExecWork" + std::to_string(-code), designed);
}

int TBrokers::ExecWork(const std::string& programCode, const Variant& param, bool showErrors, Variant& answer,
                       const Variant& options) {
    if (!HostObject.IsDispatch()) return -1;
    Variant args = VarArrayOf({UserID, CompanyID, programCode, static_cast<int64_t>(OwnerHandle())});
    Variant opts = options.IsEmptyOrNull() ? VarArrayOf({0, 4, Variant()}) : options;
    Variant parameter = param;
    Variant kind = 2;
    answer = Variant();
    int code = plat::CallMethod(HostObject, "ExecWork",
                                {ByRef(args), ByRef(parameter), ByRef(opts), ByRef(kind), ByRef(answer)})
                   .ToInt();
    if (!showErrors || code >= 0) return code;
    std::string text = ExecWorkErrorText(code);
    std::string name = ToDisplay(GetProgramName(programCode));
    ShowCodedMessage("E", "000032", {plat::Format(text, {name})});
    return code;
}

// ---- the program registry ----

void TBrokers::LoadProgramInfo() {
    ProgramTitle.clear();
    Variant answer;
    if (!CheckValue("ADMMB", "06", VarArrayOf({ProgramCode, DatabaseName}), answer) || !plat::HasRows(answer))
        return;
    ProgramTitle = TextOf(ElementAt(answer, 0));
    PrintProgram = TextOf(ElementAt(answer, 1));
    for (int i = 0; i < 5; ++i) ProgramAttributes[i] = TextOf(ElementAt(answer, i + 2));
    ProgramFlagY = TextOf(ElementAt(answer, 7)) == "Y";
    std::string kind = TextOf(ElementAt(answer, 8));
    ProgramKind = kind == "W" ? 1 : kind == "E" ? 2 : kind == "Z" ? 3 : 0;
    if (answer.Array().Count() > 9 && UICodePage() == "437") ProgramTitle = TextOf(ElementAt(answer, 9));
}

std::string TBrokers::GetProgramName(const std::string& programCode) {
    std::string sql = "SELECT MB002,MB011,MB012,MB013 FROM ADMMB WHERE MB001=" + plat::QuotedStr(programCode);
    Variant answer = CallServer("SimpleSQL", VarArrayOf({sql, "MB002,MB011,MB012,MB013", DatabaseName, "N"}));
    Variant cell = ElementAt(ElementAt(answer, 0), UICodePage() == "437" ? 1 : 0);
    return cell.IsEmptyOrNull() ? programCode : TextOf(cell);
}
