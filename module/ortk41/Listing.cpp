// Running listings and the tree's built-in vocabulary.
#include "Listing.h"

#include "StrUtils.h"

namespace ortk41 {

bool RunListing(const ListingServices& services, const std::string& sql, const std::string& fields,
                const std::function<void(const plat::Variant& row)>& onRow, RowConversion conversion,
                NoResult noResult) {
    plat::Variant answer = services.CallServer("SimpleSQL", plat::VarArrayOf({sql, fields}));
    if (!answer.IsArray() || answer.Array().DimCount() != 1)
        return noResult == NoResult::EmptyOrNull && !answer.IsEmptyOrNull();
    const plat::VarArray& rows = answer.Array();
    for (int i = rows.LowBound(); i <= rows.HighBound(); ++i) {
        const plat::Variant& row = rows.At(i);
        if (!row.IsArray()) continue;
        if (conversion == RowConversion::Convert && services.ConvertRow)
            onRow(services.ConvertRow(row));
        else
            onRow(row);
    }
    return true;
}

const std::vector<std::string>& DefaultTreeLabels() {
    static const std::vector<std::string> labels = {
        "订单单别", "单号", "序号", "品号", "品名", "预交货日:", "客户订单 : ", "销货单", " 销:", " 赠/备:",
        "销售发票", "销货收款单", "销退单", "销售发票", "销退收款单", "预开发票", "预收待抵单", "预收结账收款单",
        "请购单", " 已采:", "采购单", "已交:", "工单", "已生产:", " 状态:", "未生产", "已发料", "生产中", "已完工",
        "指定完工", "工单工艺", "预计开工:", "预计完工:", "投入:", "完成:", "报废:", "返工投入:", "返工完成:",
        " 拨转:", "盘盈亏:", "待转:", "完工码:", "实际开工:", "实际完工:", "已采:", "已交:", "销货退款单",
        "销货多对多核销记录", "销退退款单", "销退多对多核销记录", "预开发票收款单", "预收款单",
    };
    return labels;
}

const std::vector<std::string>& DefaultOutlineLabels() {
    static const std::vector<std::string> labels = {
        "订单单别", "单号", "序号", "品号", "品名", "客户订单", "销货单", "销", "赠/备", "已确认", "未确认",
        "销货结帐单", "销货收款单", "销退单", "销退结帐单", "销退收款单", "预收结帐单", "预收待抵单", "预收结帐收款单",
        "请购单", "采购单", "已交", "预交日", "工单", "已生产", "状态", "未生产", "已发料", "生产中", "已完工",
        "指定完工", "工单工艺", "批次采购计画", "批次生产计划",
    };
    return labels;
}

std::string QuotedKey(const std::string& x) { return plat::QuotedStr(plat::Trim(x)); }

}  // namespace ortk41
