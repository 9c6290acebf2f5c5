// The quick search dialog: its texts, the search over the grid's dataset and
// the dialog window.
#include "KvSearchDialog.h"

#include <QString>
#include <algorithm>

#include "DBClient.h"
#include "Dialogs.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "StrUtils.h"
#include "Grids.h"
#include "controls/KvDBGrid.h"

// Every text is a published property, so that a language package sets it
// by name (<KvUserIntl1 NextButton="..."/>) and the converter finds it.
const vcl::TClassInfo& TKvUserIntl::StaticClass() {
    static const vcl::TClassInfo info = [] {
        vcl::TClassInfo c = vcl::MakeComponentClass<TKvUserIntl>("TKvUserIntl", vcl::TComponent::StaticClass());
        using Text = std::string TKvUserIntl::*;
        const std::pair<const char*, Text> texts[] = {
            {"Caption", &TKvUserIntl::Caption},         {"EmptyValue", &TKvUserIntl::EmptyValue},
            {"NotFound", &TKvUserIntl::NotFound},       {"CloseButton", &TKvUserIntl::CloseButton},
            {"NextButton", &TKvUserIntl::NextButton},   {"CaseSensitive", &TKvUserIntl::CaseSensitive},
            {"WholeWord", &TKvUserIntl::WholeWord},     {"Direction", &TKvUserIntl::Direction},
            {"Field", &TKvUserIntl::Field},             {"Options", &TKvUserIntl::Options},
            {"Scope", &TKvUserIntl::Scope},             {"SearchValue", &TKvUserIntl::SearchValue},
            {"Up", &TKvUserIntl::Up},                   {"Down", &TKvUserIntl::Down},
            {"FromCursor", &TKvUserIntl::FromCursor},   {"FromStart", &TKvUserIntl::FromStart}};
        vcl::TPropBuilder<TKvUserIntl> builder(c);
        for (const auto& [name, member] : texts)
            builder.Str(name, [member](const TKvUserIntl& intl) { return intl.*member; },
                        [member](TKvUserIntl& intl, const std::string& text) { intl.*member = text; });
        return c;
    }();
    return info;
}

std::vector<std::string*> TKvUserIntl::Texts() {
    return {&Caption, &EmptyValue, &NotFound, &CloseButton, &NextButton, &CaseSensitive, &WholeWord, &Direction,
            &Field,   &Options,    &Scope,    &SearchValue, &Up,         &Down,          &FromCursor, &FromStart};
}

const vcl::TClassInfo& TkvSearchDialog::StaticClass() {
    static const vcl::TClassInfo info =
        vcl::MakeComponentClass<TkvSearchDialog>("TkvSearchDialog", vcl::TComponent::StaticClass());
    return info;
}

TkvSearchDialog::TkvSearchDialog(vcl::TComponent* owner) : vcl::TComponent(owner) {}

std::vector<std::string> TkvSearchDialog::FieldNames() const {
    std::vector<std::string> names;
    if (Grid) {
        for (int c = 0; c < Grid->ColumnCount(); ++c)
            if (vcl::TField* f = Grid->ColumnField(c)) names.push_back(f->FieldName());
    } else if (StringGrid) {
        for (int c = 0; c < StringGrid->ColCount(); ++c) names.push_back(ColumnName(c));
    }
    if (SortFields) std::sort(names.begin(), names.end());
    return names;
}

std::string TkvSearchDialog::ColumnName(int col) const {
    std::string title = StringGrid && StringGrid->FixedRows() > 0 ? plat::Trim(StringGrid->Cells(col, 0)) : std::string();
    return title.empty() ? "#" + std::to_string(col + 1) : title;
}

bool TkvSearchDialog::Matches(const std::string& value) const {
    QString v = QString::fromStdString(plat::Trim(value)), t = QString::fromStdString(SearchText);
    Qt::CaseSensitivity cs = CaseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    return WholeWord ? v.compare(t, cs) == 0 : v.contains(t, cs);
}

bool TkvSearchDialog::FindNext() {
    bool abort = false;
    OnBeforeSearch(this, abort);
    if (abort) return false;
    bool found = Grid ? FindInDataGrid() : FindInStringGrid();
    OnAfterSearch(this, found);
    return found;
}

// The listed lines are those below the fixed rows; the column is the one
// named FieldName, else the current one.
bool TkvSearchDialog::FindInStringGrid() {
    if (!StringGrid) return false;
    const int first = StringGrid->FixedRows(), last = StringGrid->RowCount() - 1;
    if (first > last) return false;
    int col = StringGrid->Col();
    for (int c = 0; c < StringGrid->ColCount(); ++c)
        if (ColumnName(c) == FieldName) col = c;
    const int step = Forward ? 1 : -1;
    int row = FromCursor ? StringGrid->Row() + step : (Forward ? first : last);
    bool found = false;
    for (; row >= first && row <= last; row += step)
        if (Matches(StringGrid->Cells(col, row))) {
            StringGrid->SetRow(row);
            if (col >= StringGrid->FixedCols()) StringGrid->SetCol(col);
            found = true;
            break;
        }
    FromCursor = true;
    return found;
}

bool TkvSearchDialog::FindInDataGrid() {
    vcl::TClientDataSet* ds = Grid ? Grid->DataSet() : nullptr;
    vcl::TField* field = ds ? ds->FindField(FieldName) : nullptr;
    bool found = false;
    if (ds && ds->Active() && field && !ds->IsEmpty()) {
        const int count = ds->RecordCount(), step = Forward ? 1 : -1;
        int row = FromCursor ? ds->RecNo() - 1 + step : (Forward ? 0 : count - 1);
        for (; row >= 0 && row < count; row += step) {
            std::string text;
            ds->WithRecord(row, [&] { text = field->DisplayText(); });
            if (Matches(text)) {
                ds->SetRecNo(row + 1);
                Grid->SetSelectedField(field);
                found = true;
                break;
            }
        }
        // The next step goes on from the record found.
        FromCursor = true;
    }
    return found;
}

vcl::TForm* TkvSearchDialog::CreateDialogForm(vcl::TComponent* owner) {
    TKvUserIntl fallback(nullptr);
    TKvUserIntl& t = UserIntl ? *UserIntl : fallback;
    auto* form = vcl::TComponent::Create<vcl::TForm>(owner);
    form->SetName("kvSearchForm");
    form->SetCaption(t.Caption);
    form->SetBorderStyle(vcl::TFormBorderStyle::bsDialog);
    form->SetClientWidth(380);
    form->SetClientHeight(170);
    form->Font()->Assign(Font);
    auto make = [form](auto* control, const char* name, int left, int top, int width) {
        control->SetName(name);
        control->SetParent(form);
        control->SetBounds(left, top, width, control->Height());
        return control;
    };
    auto* lblText = make(vcl::TComponent::Create<vcl::TLabel>(form), "lblText", 8, 12, 90);
    lblText->SetCaption(t.SearchValue);
    auto* edText = make(vcl::TComponent::Create<vcl::TEdit>(form), "edText", 100, 8, 180);
    edText->SetText(SearchText);
    auto* lblField = make(vcl::TComponent::Create<vcl::TLabel>(form), "lblField", 8, 42, 90);
    lblField->SetCaption(t.Field);
    auto* cboField = make(vcl::TComponent::Create<vcl::TComboBox>(form), "cboField", 100, 38, 180);
    cboField->SetStyle(vcl::TComboBoxStyle::csDropDownList);
    for (const std::string& name : FieldNames()) cboField->Items()->Add(name);
    cboField->SetItemIndex(cboField->Items()->IndexOf(FieldName));
    auto* chkCase = make(vcl::TComponent::Create<vcl::TCheckBox>(form), "chkCase", 8, 72, 170);
    chkCase->SetCaption(t.CaseSensitive);
    chkCase->SetChecked(CaseSensitive);
    auto* chkWhole = make(vcl::TComponent::Create<vcl::TCheckBox>(form), "chkWhole", 190, 72, 170);
    chkWhole->SetCaption(t.WholeWord);
    chkWhole->SetChecked(WholeWord);
    auto* cboDirection = make(vcl::TComponent::Create<vcl::TComboBox>(form), "cboDirection", 8, 102, 170);
    cboDirection->SetStyle(vcl::TComboBoxStyle::csDropDownList);
    cboDirection->Items()->Add(t.Down);
    cboDirection->Items()->Add(t.Up);
    cboDirection->SetItemIndex(Forward ? 0 : 1);
    cboDirection->SetHint(t.Direction);
    auto* cboOrigin = make(vcl::TComponent::Create<vcl::TComboBox>(form), "cboOrigin", 190, 102, 170);
    cboOrigin->SetStyle(vcl::TComboBoxStyle::csDropDownList);
    cboOrigin->Items()->Add(t.FromCursor);
    cboOrigin->Items()->Add(t.FromStart);
    cboOrigin->SetItemIndex(FromCursor ? 0 : 1);
    cboOrigin->SetHint(t.Scope);
    auto* btnNext = make(vcl::TComponent::Create<vcl::TButton>(form), "btnNext", 190, 136, 85);
    btnNext->SetCaption(t.NextButton);
    btnNext->SetDefault(true);
    auto* btnClose = make(vcl::TComponent::Create<vcl::TButton>(form), "btnClose", 285, 136, 85);
    btnClose->SetCaption(t.CloseButton);
    btnClose->SetCancel(true);
    btnClose->SetModalResult(plat::mrCancel);
    btnNext->OnClick = vcl::TNotifyEvent([=, this](vcl::TObject*) {
        SearchText = edText->Text();
        if (cboField->ItemIndex() >= 0) FieldName = cboField->Items()->Strings(cboField->ItemIndex());
        CaseSensitive = chkCase->Checked();
        WholeWord = chkWhole->Checked();
        Forward = cboDirection->ItemIndex() != 1;
        FromCursor = cboOrigin->ItemIndex() != 1;
        FindNext();
        cboOrigin->SetItemIndex(0);
    });
    return form;
}

void TkvSearchDialog::Execute() {
    std::string field = FieldName;
    OnSelectField(this, field);
    FieldName = field;
    vcl::TForm* form = CreateDialogForm(nullptr);
    OnInitDialog(this, form);
    form->ShowModal();
    form->Free();
}
