// The shell's vocabulary in its three languages, and the choice of one.
#include "ShellLanguage.h"

#include <map>

#include "QtLanguage.h"

namespace shell {

namespace {

struct Word {
    const char* traditional;
    const char* english;
};

// Every word the shell itself shows. Titles and captions of the lookups and
// the document programs are here as well, since the shell composes those
// windows; the data inside them is shown as stored.
const std::map<std::string, Word>& Vocabulary() {
    static const std::map<std::string, Word> words = {
        {"作业(&P)", {"作業(&P)", "&Programs"}},
        {"退出(&X)", {"退出(&X)", "E&xit"}},
        {"订单追踪查询", {"訂單追蹤查詢", "Sales order tracking"}},
        {"查找", {"查找", "Search"}},
        {"日期", {"日期", "Date"}},
        {"帮助", {"幫助", "Help"}},
        {"帮助主题", {"幫助主題", "Help topic"}},
        {"关闭", {"關閉", "Close"}},
        {"订单信息查询", {"訂單資訊查詢", "Sales orders"}},
        {"客户信息查询", {"客戶資訊查詢", "Customers"}},
        {"项目编号查询", {"專案編號查詢", "Projects"}},
        {"单别", {"單別", "Type"}},
        {"单号", {"單號", "Number"}},
        {"订单日期", {"訂單日期", "Order date"}},
        {"客户编号", {"客戶編號", "Customer"}},
        {"客户简称", {"客戶簡稱", "Short name"}},
        {"客户全称", {"客戶全稱", "Full name"}},
        {"客户单号", {"客戶單號", "Customer order"}},
        {"项目编号", {"專案編號", "Project"}},
        {"项目名称", {"專案名稱", "Project name"}},
        {"常用词组", {"常用詞組", "Phrases"}},
        {"词组", {"詞組", "Phrase"}},
        {"特殊字符", {"特殊字元", "Special characters"}},
        {"字符", {"字元", "Character"}},
        {"销售订单", {"銷售訂單", "Sales order"}},
        {"销货单", {"銷貨單", "Sales delivery"}},
        {"销售发票", {"銷售發票", "Sales invoice"}},
        {"收款单", {"收款單", "Receipt"}},
        {"预收款单", {"預收款單", "Advance receipt"}},
        {"销退单", {"銷退單", "Sales return"}},
        {"请购单", {"請購單", "Purchase requisition"}},
        {"采购单", {"採購單", "Purchase order"}},
        {"工单", {"工單", "Work order"}},
        {"工单工艺", {"工單工藝", "Work order routing"}},
        {"销货多对多核销记录", {"銷貨多對多核銷記錄", "Write-off records"}},
    };
    return words;
}

std::string& Chosen() {
    static std::string codePage = "936";
    return codePage;
}

}  // namespace

void UseShellLanguage(const std::string& uiCodePage) {
    Chosen() = uiCodePage;
    plat::UseQtLanguage(uiCodePage);
}

const std::string& ShellCodePage() { return Chosen(); }

std::string ShellWord(const std::string& simplified, const std::string& uiCodePage) {
    if (uiCodePage != "950" && uiCodePage != "437") return simplified;
    auto found = Vocabulary().find(simplified);
    if (found == Vocabulary().end()) return simplified;
    return uiCodePage == "950" ? found->second.traditional : found->second.english;
}

std::string ShellWord(const std::string& simplified) { return ShellWord(simplified, Chosen()); }

}  // namespace shell
