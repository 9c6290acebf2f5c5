// The host's tables of lookups, checks and document programs.
#include "HostCatalogue.h"

#include <strings.h>

#include "StrUtils.h"

namespace shell {

namespace {

bool Same(const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) == 0; }

const std::vector<LookupDefinition>& Lookups() {
    static const std::vector<LookupDefinition> lookups = {
        {"COPTC", "02", "订单信息查询",
         "SELECT TC001,TC002,TC003,TC004,MA002,TC012 FROM $$COPTC COPTC LEFT JOIN $$COPMA COPMA ON MA001=TC004 "
         "WHERE TC027='Y' ORDER BY TC001,TC002",
         {"单别", "单号", "订单日期", "客户编号", "客户简称", "客户单号"},
         {2}},
        {"COPMA", "01", "客户信息查询", "SELECT MA001,MA002,MA003 FROM $$COPMA COPMA ORDER BY MA001",
         {"客户编号", "客户简称", "客户全称"}},
        {"CMSNO", "01", "项目编号查询", "SELECT NO001,NO002 FROM $$CMSNO CMSNO ORDER BY NO001",
         {"项目编号", "项目名称"}},
    };
    return lookups;
}

const std::vector<CheckDefinition>& Checks() {
    static const std::vector<CheckDefinition> checks = {
        // Program registry: title, print program, attributes 2-6, flag, kind, English title.
        {"ADMMB", "06",
         "SELECT MB002,MB003,MB004,MB005,MB006,MB007,MB008,MB009,MB010,MB011 FROM $$ADMMB ADMMB WHERE MB001=%s", 1},
        {"CMSNO", "01", "SELECT NO002,NO001 FROM $$CMSNO CMSNO WHERE NO001=%s", 1},
        {"CMSMF", "01", "SELECT MF002,MF003,MF004,MF005,MF006 FROM $$CMSMF CMSMF WHERE MF001=%s", 1},
        {"COPMA", "01", "SELECT MA002,MA003 FROM $$COPMA COPMA WHERE MA001=%s", 1},
        {"COPTC", "02", "SELECT TC003,TC004 FROM $$COPTC COPTC WHERE TC001=%s AND TC002=%s", 2},
        // Attached documents of an item: the kind and key the document server files them under.
        {"INVMB", "12", "SELECT 'INVMB',MB001 FROM $$INVMB INVMB WHERE MB001=%s", 1},
    };
    return checks;
}

const std::vector<DocumentProgram>& Programs() {
    static const std::vector<DocumentProgram> programs = {
        {"PGSO01", "销售订单", "COPTC", "COPTD", "TD001=TC001 AND TD002=TC002"},
        {"PGSD01", "销货单", "COPTG", "COPTH", "TH001=TG001 AND TH002=TG002"},
        {"PGAR01", "销售发票", "ACRTA", "ACRTB", "TB001=TA001 AND TB002=TA002"},
        {"PGAR02", "收款单", "ACRTK", "ACRTL", "TL001=TK001 AND TL002=TK002"},
        {"PGAR03", "预收款单", "ACRTK", "ACRTL", "TL001=TK001 AND TL002=TK002"},
        {"PGSR01", "销退单", "COPTI", "COPTJ", "TJ001=TI001 AND TJ002=TI002"},
        {"PGPR01", "请购单", "PURTA", "PURTB", "TB001=TA001 AND TB002=TA002"},
        {"PGPO01", "采购单", "PURTC", "PURTD", "TD001=TC001 AND TD002=TC002"},
        {"PGWO01", "工单", "MOCTA", "", ""},
        {"PGWR01", "工单工艺", "MOCTA", "SFCTA", "SFCTA.TA001=MOCTA.TA001 AND SFCTA.TA002=MOCTA.TA002"},
        {"PGAR04", "销货多对多核销记录", "ACRLC", "", ""},
    };
    return programs;
}

}  // namespace

const LookupDefinition* FindLookup(const std::string& table, const std::string& mode) {
    for (const LookupDefinition& l : Lookups())
        if (Same(l.Table, table) && l.Mode == mode) return &l;
    return nullptr;
}

const CheckDefinition* FindCheck(const std::string& table, const std::string& kind) {
    for (const CheckDefinition& c : Checks())
        if (Same(c.Table, table) && c.Kind == kind) return &c;
    return nullptr;
}

const DocumentProgram* FindDocumentProgram(const std::string& programCode) {
    for (const DocumentProgram& p : Programs())
        if (Same(p.ProgramCode, programCode)) return &p;
    return nullptr;
}

std::optional<std::string> CheckStatement(const CheckDefinition& check, const std::vector<std::string>& keys) {
    if (static_cast<int>(keys.size()) < check.KeyCount) return std::nullopt;
    std::string sql;
    size_t next = 0;
    for (size_t i = 0; i < check.Sql.size(); ++i) {
        if (check.Sql.compare(i, 2, "%s") == 0) {
            sql += plat::QuotedStr(keys[next++]);
            ++i;
        } else {
            sql += check.Sql[i];
        }
    }
    return sql;
}

}  // namespace shell
