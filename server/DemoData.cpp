// Demo database generator: table writers that pad CHAR values to their
// declared widths and stamp the system fields, the system tables, the
// showcase orders with their downstream documents, and the seeded bulk of
// further order lines. Everything is written in one transaction with
// prepared statements.
#include "DemoData.h"

#include <sqlite3.h>

#include <unistd.h>

#include <array>
#include <chrono>
#include <atomic>
#include <map>
#include <memory>
#include <variant>
#include <vector>

#include "PostgresSchema.h"
#include "ServerSchema.h"
#include "SqlError.h"

namespace server {

const char* SchemaSql() { return kServerSchemaSql; }

namespace {

// ------------------------------------------------------------- helpers

void Exec(sqlite3* db, const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::string message = error ? error : "unknown error";
        sqlite3_free(error);
        throw SqlError("demo database: " + message);
    }
}

size_t Utf8Length(const std::string& s) {
    size_t n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

// Width n of a declared "CHAR(n)" (not VARCHAR/NVARCHAR); 0 for anything else.
int CharWidth(const std::string& declared) {
    if (declared.rfind("CHAR(", 0) != 0) return 0;
    return std::atoi(declared.c_str() + 5);
}

// Days since 2024-01-01 → "YYYYMMDD".
std::string DateText(int day) {
    long z = day + 19723 + 719468;  // 19723: days from 1970-01-01 to 2024-01-01
    long era = z / 146097, doe = z - era * 146097;
    long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long y = yoe + era * 400, doy = doe - (365 * yoe + yoe / 4 - yoe / 100), mp = (5 * doy + 2) / 153;
    long d = doy - (153 * mp + 2) / 5 + 1, m = mp < 10 ? mp + 3 : mp - 9;
    if (m <= 2) ++y;
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04ld%02ld%02ld", y, m, d);
    return buf;
}

std::string Seq(int n) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04d", n);
    return buf;
}

// Deterministic on every platform (the standard distributions are not).
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<uint64_t>(n)); }
    bool Percent(int p) { return Below(100) < p; }

private:
    uint64_t state_;
};

using Value = std::variant<std::string, double>;

// Inserts rows into one table: positional values for the named columns,
// CHAR(n) texts padded with blanks to n characters, system fields stamped.
class TableWriter {
public:
    TableWriter(sqlite3* db, const std::string& table, std::vector<std::string> columns, const std::string& company)
        : db_(db), company_(company) {
        ReadWidths(table);
        std::vector<std::string> all = std::move(columns);
        userColumns_ = all.size();
        // Tables with a COMPANY column also carry the other system fields;
        // SYSPARAM, USERS and USERINFO name the company themselves.
        if (widths_.count("CREATOR"))
            for (const char* system : {"COMPANY", "CREATOR", "USR_GROUP", "CREATE_DATE", "FLAG"}) {
                all.push_back(system);
                systemNames_.push_back(system);
            }
        std::string sql = "INSERT INTO " + table + " (", marks;
        for (size_t i = 0; i < all.size(); ++i) {
            sql += (i ? "," : "") + all[i];
            marks += i ? ",?" : "?";
            width_.push_back(widths_.count(all[i]) ? widths_[all[i]] : 0);
        }
        sql += ") VALUES (" + marks + ")";
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt_, nullptr) != SQLITE_OK)
            throw SqlError("demo database: " + std::string(sqlite3_errmsg(db_)) + " in " + sql);
        columnCount_ = all.size();
    }
    ~TableWriter() { sqlite3_finalize(stmt_); }
    TableWriter(const TableWriter&) = delete;
    TableWriter& operator=(const TableWriter&) = delete;

    void Add(const std::vector<Value>& values) {
        if (values.size() != userColumns_) throw SqlError("demo database: wrong number of values");
        for (size_t i = 0; i < values.size(); ++i) Bind(i, values[i]);
        for (size_t i = userColumns_; i < columnCount_; ++i) Bind(i, SystemValue(systemNames_[i - userColumns_]));
        if (sqlite3_step(stmt_) != SQLITE_DONE) throw SqlError("demo database: " + std::string(sqlite3_errmsg(db_)));
        sqlite3_reset(stmt_);
        ++rows_;
    }
    long Rows() const { return rows_; }

private:
    void ReadWidths(const std::string& table) {
        sqlite3_stmt* info = nullptr;
        sqlite3_prepare_v2(db_, "SELECT name, upper(type) FROM pragma_table_info(?1)", -1, &info, nullptr);
        sqlite3_bind_text(info, 1, table.c_str(), -1, SQLITE_TRANSIENT);
        while (sqlite3_step(info) == SQLITE_ROW)
            widths_[reinterpret_cast<const char*>(sqlite3_column_text(info, 0))] =
                CharWidth(reinterpret_cast<const char*>(sqlite3_column_text(info, 1)));
        sqlite3_finalize(info);
        if (widths_.empty()) throw SqlError("demo database: no table " + table);
    }
    // The system fields of every maintained row: company, creator "KV", group
    // "ADMIN", the creation date and FLAG 1.
    Value SystemValue(const std::string& name) const {
        if (name == "COMPANY") return company_;
        if (name == "CREATOR") return std::string("KV");
        if (name == "USR_GROUP") return std::string("ADMIN");
        if (name == "CREATE_DATE") return std::string("20240101");
        return 1.0;
    }
    void Bind(size_t i, const Value& v) {
        int index = static_cast<int>(i + 1);
        if (const double* d = std::get_if<double>(&v)) {
            sqlite3_bind_double(stmt_, index, *d);
            return;
        }
        std::string text = std::get<std::string>(v);
        size_t length = Utf8Length(text);
        if (width_[i] > 0 && length < static_cast<size_t>(width_[i])) text.append(width_[i] - length, ' ');
        sqlite3_bind_text(stmt_, index, text.c_str(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    }

    sqlite3* db_;
    std::string company_;
    sqlite3_stmt* stmt_ = nullptr;
    std::map<std::string, int> widths_;
    std::vector<int> width_;
    std::vector<std::string> systemNames_;
    size_t userColumns_ = 0, columnCount_ = 0;
    long rows_ = 0;
};

// ------------------------------------------------------------- masters

struct Item {
    const char* code;
    const char* name;
    const char* details;
    const char* unit;
};

const std::array<Item, 10> kItems = {{
    {"SC-M6-20", "六角螺丝", "M6×20 镀锌", "PCS"},
    {"GB-200", "齿轮减速箱", "减速比 1:20", "SET"},
    {"MT-750", "三相异步电机", "0.75kW 380V", "SET"},
    {"BR-6204", "深沟球轴承", "6204-2RS", "PCS"},
    {"SS-304-2", "不锈钢板", "304 厚2.0mm", "KG"},
    {"CU-2.5", "铜芯电线", "BV 2.5mm²", "M"},
    {"PCB-C01", "控制主板", "C01 版", "PCS"},
    {"HP-10", "液压泵", "额定压力10MPa", "SET"},
    {"BX-600", "包装纸箱", "600×400×400", "PCS"},
    {"OR-30", "密封圈", "Φ30 丁腈橡胶", "PCS"},
}};

struct Customer {
    const char* code;
    const char* shortName;
    const char* fullName;
};

const std::array<Customer, 12> kCustomers = {{
    {"C001", "华东电子", "上海华东电子科技有限公司"},
    {"C002", "北方机械", "天津北方机械制造有限公司"},
    {"C003", "南粤五金", "广州南粤五金制品有限公司"},
    {"C004", "江南纺织", "苏州江南纺织机械有限公司"},
    {"C005", "蜀都动力", "成都蜀都动力设备有限公司"},
    {"C006", "长城建材", "北京长城建材集团有限公司"},
    {"C007", "东海船舶", "宁波东海船舶配件有限公司"},
    {"C008", "西部能源", "西安西部能源装备有限公司"},
    {"C009", "中原农机", "郑州中原农业机械有限公司"},
    {"C010", "天山化工", "乌鲁木齐天山化工有限公司"},
    {"C011", "珠江灯饰", "佛山珠江灯饰有限公司"},
    {"C012", "黄河水泥", "兰州黄河水泥有限公司"},
}};

struct Program {
    const char* code;
    const char* title;
    const char* english;
    const char* traditional;
    const char* system;
    const char* kind;
};

const std::array<Program, 12> kPrograms = {{
    {"ORTK41", "订单追踪查询", "Sales Order Tracking Query", "訂單追蹤查詢", "COP", "E"},
    {"PGSO01", "销售订单维护", "Sales Order Entry", "銷售訂單維護", "COP", "W"},
    {"PGSD01", "销货单维护", "Sales Delivery Entry", "銷貨單維護", "COP", "W"},
    {"PGAR01", "应收发票维护", "AR Invoice Entry", "應收發票維護", "ACR", "W"},
    {"PGAR02", "收款单维护", "AR Receipt Entry", "收款單維護", "ACR", "W"},
    {"PGAR03", "预收款作业", "AR Advance Receipts", "預收款作業", "ACR", "W"},
    {"PGSR01", "销退单维护", "Sales Return Entry", "銷退單維護", "COP", "W"},
    {"PGPR01", "请购单维护", "Purchase Requisition Entry", "請購單維護", "PUR", "W"},
    {"PGPO01", "采购单维护", "Purchase Order Entry", "採購單維護", "PUR", "W"},
    {"PGWO01", "工单维护", "Work Order Entry", "工單維護", "MOC", "W"},
    {"PGWR01", "工单工艺维护", "Work Order Routing Entry", "工單工藝維護", "SFC", "W"},
    {"PGAR04", "多对多核销记录", "AR Many-to-many Write-off Records", "多對多核銷記錄", "ACR", "W"},
}};

struct Message {
    const char* kind;
    const char* code;
    const char* chinese;
    const char* english;
};

const std::array<Message, 20> kMessages = {{
    {"E", "000001", "%s 不存在,请重新输入!", "%s does not exist, please enter it again!"},
    {"E", "000003", "%s 不可为空!", "%s must not be empty!"},
    {"E", "000004", "您没有此作业的使用权限!", "You have no rights to this program!"},
    {"E", "000005", "日期格式错误,请重新输入!", "Invalid date, please enter it again!"},
    {"E", "000007", "资料删除失败!", "The record could not be deleted!"},
    {"E", "000032", "%s", "%s"},
    {"E", "000038", "作业程序启动参数错误!", "The program was started with wrong parameters!"},
    {"E", "000040", "文件路径或文件名称不正确!", "The folder or file name is not valid!"},
    {"E", "100002", "月份错误,请输入 1 至 12!", "Invalid month, enter 1 to 12!"},
    {"E", "100187", "时间格式错误!", "Invalid time!"},
    {"E", "100280", "%s 的整数位数超出范围!", "%s has too many digits before the decimal point!"},
    {"E", "100288", "%s 的小数位数超出范围!", "%s has too many digits after the decimal point!"},
    {"W", "000004", "%s 不存在,是否继续?", "%s does not exist, continue?"},
    {"I", "000001", "版本: %s  服务: %s", "Version: %s  Service: %s"},
    {"C", "000001", "确定要删除此笔资料吗?", "Delete this record?"},
    {"C", "000002", "资料已修改,确定放弃修改吗?", "The record was changed. Discard the changes?"},
    {"C", "000004", "新增的资料尚未保存,确定放弃吗?", "The new record is not saved. Discard it?"},
    {"D", "000001", "新增的资料尚未保存,是否保存?", "The new record is not saved. Save it?"},
    {"D", "000002", "资料已修改,是否保存?", "The record was changed. Save it?"},
    {"Q", "000001", "确定要执行吗?", "Proceed?"},
}};

// ------------------------------------------------------------- generator

class Generator {
public:
    Generator(sqlite3* db, const DemoOptions& options)
        : db_(db), options_(options), random_(options.seed),
          customers_(W("COPMA", {"MA001", "MA002", "MA003"})),
          items_(W("INVMB", {"MB001", "MB002", "MB003", "MB004"})),
          conversions_(W("INVMD", {"MD001", "MD002", "MD003", "MD004", "MD005"})),
          docTypes_(W("CMSMQ", {"MQ001", "MQ002", "MQ003"})),
          processes_(W("CMSMW", {"MW001", "MW002"})),
          projects_(W("CMSNO", {"NO001", "NO002"})),
          currencies_(W("CMSMF", {"MF001", "MF002", "MF003", "MF004", "MF005", "MF006"})),
          orderHeads_(W("COPTC", {"TC001", "TC002", "TC003", "TC004", "TC012", "TC027", "TC077"})),
          orderLines_(W("COPTD", {"TD001", "TD002", "TD003", "TD004", "TD005", "TD006", "TD008", "TD010", "TD013", "TD016"})),
          deliveryHeads_(W("COPTG", {"TG001", "TG002", "TG003", "TG004"})),
          deliveryLines_(W("COPTH", {"TH001", "TH002", "TH003", "TH004", "TH008", "TH009", "TH014", "TH015", "TH016",
                                     "TH020", "TH024", "TH027", "TH028", "TH029"})),
          returnHeads_(W("COPTI", {"TI001", "TI002", "TI003", "TI004"})),
          returnLines_(W("COPTJ", {"TJ001", "TJ002", "TJ003", "TJ004", "TJ007", "TJ008", "TJ018", "TJ019", "TJ020",
                                   "TJ021", "TJ025", "TJ026", "TJ027", "TJ068"})),
          invoiceHeads_(W("ACRTA", {"TA001", "TA002", "TA003", "TA004"})),
          invoiceLines_(W("ACRTB", {"TB001", "TB002", "TB003", "TB004", "TB005", "TB006", "TB007", "TB008", "TB012"})),
          receiptHeads_(W("ACRTK", {"TK001", "TK002", "TK003", "TK004", "TK017", "TK018", "TK020"})),
          receiptLines_(W("ACRTL", {"TL001", "TL002", "TL003", "TL004", "TL005", "TL006", "TL007", "TL008"})),
          settlementReceiptHeads_(W("ACRTC", {"TC001", "TC002", "TC003", "TC004"})),
          settlementReceiptLines_(W("ACRTD", {"TD001", "TD002", "TD003", "TD005", "TD006", "TD007", "TD008", "TD020"})),
          writeOffs_(W("ACRLC", {"LC001", "LC002", "LC003", "LC004", "LC005", "LC006", "LC026"})),
          requisitionHeads_(W("PURTA", {"TA001", "TA002", "TA003"})),
          requisitionLines_(W("PURTB", {"TB001", "TB002", "TB003", "TB004", "TB005", "TB007", "TB009", "TB014", "TB015",
                                        "TB025", "TB029", "TB030", "TB031", "TB045"})),
          purchaseRecords_(W("PURTR", {"TR001", "TR002", "TR003", "TR004", "TR006", "TR008", "TR017"})),
          purchaseHeads_(W("PURTC", {"TC001", "TC002", "TC003", "TC004"})),
          purchaseLines_(W("PURTD", {"TD001", "TD002", "TD003", "TD004", "TD005", "TD008", "TD009", "TD012", "TD013",
                                     "TD015", "TD018", "TD021", "TD023"})),
          workOrders_(W("MOCTA", {"TA001", "TA002", "TA003", "TA006", "TA007", "TA011", "TA013", "TA015", "TA017",
                                  "TA026", "TA027", "TA028"})),
          routing_(W("SFCTA", {"TA001", "TA002", "TA003", "TA004", "TA006", "TA007", "TA008", "TA009", "TA010", "TA011",
                               "TA012", "TA013", "TA014", "TA015", "TA016", "TA017", "TA030", "TA031", "TA032"})),
          programs_(W("ADMMB", {"MB001", "MB002", "MB003", "MB004", "MB009", "MB010", "MB011", "MB012", "MB013"})),
          sysParams_(W("SYSPARAM", {"COMPANY", "NAME", "VALUE"})),
          users_(W("USERS", {"COMPANY", "USER_ID", "USER_NAME", "USER_GROUP"})),
          userInfo_(W("USERINFO", {"COMPANY", "USER_ID", "PROGRAM", "NAME", "VALUE"})),
          messages_(W("MESSAGES", {"KIND", "CODE", "TEXT_GB", "TEXT_EN"})) {}

    DemoReport Run() {
        SystemTables();
        Masters();
        Showcase();
        Bulk();
        DemoReport report;
        report.orderLines = orderLines_->Rows();
        for (TableWriter* w : AllWriters()) report.rows += w->Rows();
        return report;
    }

private:
    using Writer = std::unique_ptr<TableWriter>;
    Writer W(const std::string& table, std::vector<std::string> columns) {
        return std::make_unique<TableWriter>(db_, table, std::move(columns), options_.company);
    }
    std::vector<TableWriter*> AllWriters() {
        return {customers_.get(), items_.get(), conversions_.get(), docTypes_.get(), processes_.get(),
                projects_.get(), currencies_.get(), orderHeads_.get(), orderLines_.get(), deliveryHeads_.get(),
                deliveryLines_.get(), returnHeads_.get(), returnLines_.get(), invoiceHeads_.get(),
                invoiceLines_.get(), receiptHeads_.get(), receiptLines_.get(), settlementReceiptHeads_.get(),
                settlementReceiptLines_.get(), writeOffs_.get(), requisitionHeads_.get(), requisitionLines_.get(),
                purchaseRecords_.get(), purchaseHeads_.get(), purchaseLines_.get(), workOrders_.get(),
                routing_.get(), programs_.get(), sysParams_.get(), users_.get(), userInfo_.get(), messages_.get()};
    }

    // ---- system tables

    void SystemTables() {
        for (const Program& p : kPrograms)
            programs_->Add({p.code, p.title, std::string(p.code) + "R", "", "N", p.kind, p.english, p.traditional,
                            p.system});
        const std::string& c = options_.company;
        const std::vector<std::pair<const char*, const char*>> params = {
            {"SYS001", "1"}, {"SYS002", "/"}, {"SYS003", "RMB"}, {"SYS024", "0"}, {"SYS053", "N"},
            {"SYS054", "N"}, {"SYS055", "N"}, {"SYS056", "N"}, {"SYS150", "N"}, {"SYS180", "Y"},
            {"KVX002", "华东演示股份有限公司"}};
        for (const auto& [name, value] : params) sysParams_->Add({c, name, value});
        Users(c);
        for (const Message& m : kMessages) messages_->Add({m.kind, m.code, m.chinese, m.english});
    }

    void Users(const std::string& c) {
        users_->Add({c, "KV", "系统管理员", "ADMIN"});
        users_->Add({c, "GUEST", "访客", "GUEST"});
        users_->Add({c, "NOPOWER", "无权限用户", "GUEST"});
        const std::vector<std::pair<const char*, const char*>> common = {
            {"MAX_RECORD", "20"}, {"BaseLimited", "N"}, {"EX_POWER", ""}, {"GROUP_LIST", ""}};
        for (const char* user : {"KV", "GUEST", "NOPOWER"}) {
            userInfo_->Add({c, user, "", "USER_GROUP", std::string(user) == "KV" ? "ADMIN" : "GUEST"});
            for (const auto& [name, value] : common) userInfo_->Add({c, user, "", name, value});
        }
        userInfo_->Add({c, "KV", "", "POWER_DATA", "ORTK41,Y,N,YYYYYYYYYYYY,YYYYYYY,YYYYYYY"});
        userInfo_->Add({c, "GUEST", "", "POWER_DATA", "ORTK41,N,Y,YNNNNNNNNNNN,NNNNNNN,NNNNNNN"});
        userInfo_->Add({c, "NOPOWER", "", "POWER_DATA", ""});
        const std::vector<std::pair<const char*, const char*>> program = {
            {"M11_TABLE", "COPTC"}, {"M11_KEY", "TC001,TC002"}, {"M11_SELECT", ""}, {"D11_SELECT", ""},
            {"D11_TABLE", "COPTD"}, {"D11_KEY", "TD001,TD002,TD003"}, {"H11_TABLE", ""}, {"H11_KEY", ""},
            {"F11_TABLE", ""}};
        for (const char* user : {"KV", "GUEST", "NOPOWER"})
            for (const auto& [name, value] : program) userInfo_->Add({c, user, "ORTK41", name, value});
    }

    void Masters() {
        for (const Customer& k : kCustomers) customers_->Add({k.code, k.shortName, k.fullName});
        for (const Item& i : kItems) items_->Add({i.code, i.name, i.details, i.unit});
        conversions_->Add({"", "DZ", 12.0, 1.0, "PCS"});
        conversions_->Add({"", "T", 1000.0, 1.0, "KG"});
        conversions_->Add({"SC-M6-20", "BOX", 100.0, 1.0, ""});
        conversions_->Add({"BX-600", "BDL", 20.0, 1.0, ""});
        const std::vector<std::array<const char*, 3>> types = {
            {"2201", "一般订单", "21"},   {"2202", "外销订单", "21"},   {"2301", "销货单", "23"},
            {"2401", "销退单", "24"},     {"6101", "销售发票", "61"},   {"6301", "收款单", "63"},
            {"6302", "结帐收款单", "63"}, {"6D01", "退款单", "6D"},     {"6C01", "预收款单", "6C"},
            {"3101", "请购单", "31"},     {"3301", "采购单", "33"},     {"5101", "厂内工单", "51"}};
        for (const auto& t : types) docTypes_->Add({t[0], t[1], t[2]});
        processes_->Add({"P01", "下料"});
        processes_->Add({"P02", "机加工"});
        processes_->Add({"P03", "装配"});
        processes_->Add({"P04", "检验"});
        projects_->Add({"P2024-001", "华东新厂建设项目"});
        projects_->Add({"P2024-002", "北方技改项目"});
        currencies_->Add({"RMB", "人民币", 4.0, 2.0, 4.0, 2.0});
        currencies_->Add({"USD", "美元", 4.0, 2.0, 4.0, 2.0});
    }

    // ---- document helpers (keys: type, number, sequence)

    void Order(const std::string& no, int day, const char* customer, const char* customerOrder, const char* project,
               const char* confirmed = "Y", const std::string& type = "2201") {
        orderHeads_->Add({type, no, DateText(day), customer, customerOrder, confirmed, project});
    }
    void OrderLine(const std::string& no, int seq, const Item& item, double qty, int dueDay, const char* closed,
                   const std::string& type = "2201") {
        orderLines_->Add({type, no, Seq(seq), item.code, item.name, item.details, qty, item.unit, DateText(dueDay), closed});
    }
    void Delivery(const std::string& no, int day, const char* customer) {
        deliveryHeads_->Add({"2301", no, DateText(day), customer});
    }
    void DeliveryLine(const std::string& no, int seq, const Item& item, double qty, double spare,
                      const std::string& orderType, const std::string& orderNo, int orderSeq,
                      const char* confirmed = "Y") {
        deliveryLines_->Add({"2301", no, Seq(seq), item.code, qty, item.unit, orderType, orderNo, Seq(orderSeq),
                             confirmed, spare, "", "", ""});
    }
    void Invoice(const std::string& no, int day, const char* customer) {
        invoiceHeads_->Add({"6101", no, DateText(day), customer});
    }
    // kind '1' delivery, '2' return, '6' advance, '9' offset of an advance invoice
    void InvoiceLine(const std::string& no, int seq, const char* kind, const std::string& srcType,
                     const std::string& srcNo, const std::string& srcSeq, double amount) {
        invoiceLines_->Add({"6101", no, Seq(seq), kind, srcType, srcNo, srcSeq, amount, "Y"});
    }
    void Receipt(const std::string& type, const std::string& no, int day, const char* customer,
                 const std::string& orderType = "", const std::string& orderNo = "") {
        receiptHeads_->Add({type, no, DateText(day), customer, orderType, orderNo, "Y"});
    }
    void ReceiptLine(const std::string& type, const std::string& no, int seq, const std::string& invoiceNo,
                     const std::string& invoiceSeq, double amount) {
        receiptLines_->Add({type, no, Seq(seq), "1", invoiceNo.empty() ? "" : "6101", invoiceNo, invoiceSeq, amount});
    }
    void SettlementReceipt(const std::string& no, int day, const char* customer, const std::string& invoiceNo,
                           double amount, const char* kind = "4") {
        settlementReceiptHeads_->Add({"6302", no, DateText(day), customer});
        settlementReceiptLines_->Add({"6302", no, Seq(1), kind, "6101", invoiceNo, amount, "Y"});
    }
    void WriteOff(const std::string& no, int day, const std::string& invoiceNo, const std::string& invoiceSeq,
                  double amount) {
        writeOffs_->Add({no, DateText(day), "6101", invoiceNo, invoiceSeq, amount, "Y"});
    }
    void Return(const std::string& no, int day, const char* customer, const Item& item, double qty, double spare,
                const std::string& orderType, const std::string& orderNo, int orderSeq) {
        returnHeads_->Add({"2401", no, DateText(day), customer});
        returnLines_->Add({"2401", no, Seq(1), item.code, qty, item.unit, orderType, orderNo, Seq(orderSeq), "Y", "",
                           "", "", spare});
    }
    void Requisition(const std::string& no, int day) { requisitionHeads_->Add({"3101", no, DateText(day)}); }
    void RequisitionLine(const std::string& no, int seq, const Item& item, double qty, double purchased, int needDay,
                         const std::string& orderType, const std::string& orderNo, int orderSeq) {
        requisitionLines_->Add({"3101", no, Seq(seq), item.code, item.name, item.unit, qty, qty, DateText(needDay), "Y",
                                orderType, orderNo, Seq(orderSeq), purchased});
    }
    void PurchaseRecord(const std::string& no, int seq, int record, double qty, const char* unit,
                        const char* confirmed = "Y") {
        purchaseRecords_->Add({"3101", no, Seq(seq), Seq(record), qty, unit, confirmed});
    }
    void Purchase(const std::string& no, int day, const char* supplier) {
        purchaseHeads_->Add({"3301", no, DateText(day), supplier});
    }
    void PurchaseLine(const std::string& no, int seq, const Item& item, double qty, double delivered, int dueDay,
                      const std::string& orderType, const std::string& orderNo, int orderSeq) {
        purchaseLines_->Add({"3301", no, Seq(seq), item.code, item.name, qty, item.unit, DateText(dueDay), orderType,
                             delivered, "Y", orderNo, Seq(orderSeq)});
    }
    void WorkOrder(const std::string& no, int day, const Item& item, const char* state, double planned,
                   double produced, const std::string& orderType, const std::string& orderNo, int orderSeq,
                   int steps) {
        workOrders_->Add({"5101", no, DateText(day), item.code, item.unit, state, "Y", planned, produced, orderType,
                          orderNo, Seq(orderSeq)});
        static const char* processes[] = {"P01", "P02", "P03", "P04"};
        static const char* centres[][2] = {{"WC-01", "下料车间"}, {"WC-02", "机加车间"}, {"WC-03", "装配车间"},
                                           {"WC-04", "质检室"}};
        bool started = std::string(state) != "1";
        for (int s = 0; s < steps; ++s) {
            double done = started ? produced : 0.0;
            routing_->Add({"5101", no, Seq((s + 1) * 10), processes[s % 4], centres[s % 4][0], centres[s % 4][1],
                           DateText(day + 1 + 2 * s), DateText(day + 2 + 2 * s), started ? planned : 0.0, done,
                           started && s == 0 ? 1.0 : 0.0, 0.0, 0.0, done, 0.0, started ? planned - done : 0.0,
                           started ? DateText(day + 1 + 2 * s) : "", done == planned ? DateText(day + 2 + 2 * s) : "",
                           done == planned ? "Y" : "N"});
        }
    }

    // ---- showcase orders: fixed keys, one interesting case each

    void Showcase() {
        const Item& screw = kItems[0];
        const Item& gearbox = kItems[1];
        const Item& motor = kItems[2];
        const Item& bearing = kItems[3];
        const Item& steel = kItems[4];
        const Item& board = kItems[6];
        const Item& pump = kItems[7];
        const Item& carton = kItems[8];
        const Item& ring = kItems[9];

        // 1: deliveries, a delivery line with two invoices, receipts (one with
        //    an empty TL007), a refund, write-off records, settlement receipts,
        //    an unconfirmed delivery that must not be listed.
        Order("20240100001", 4, "C001", "HD-PO-24001", "P2024-001");
        OrderLine("20240100001", 1, screw, 1000, 31, "N");
        OrderLine("20240100001", 2, bearing, 200, 40, "N");
        Delivery("20240100001", 19, "C001");
        DeliveryLine("20240100001", 1, screw, 600, 10, "2201", "20240100001", 1);
        DeliveryLine("20240100001", 2, bearing, 200, 0, "2201", "20240100001", 2);
        Delivery("20240100002", 24, "C001");
        DeliveryLine("20240100002", 1, screw, 400, 0, "2201", "20240100001", 1);
        Delivery("20240100003", 26, "C001");
        DeliveryLine("20240100003", 1, screw, 50, 0, "2201", "20240100001", 1, "N");
        Invoice("20240100001", 30, "C001");
        InvoiceLine("20240100001", 1, "1", "2301", "20240100001", "0001", 300);
        Invoice("20240100002", 35, "C001");
        InvoiceLine("20240100002", 1, "1", "2301", "20240100001", "0001", 300);
        InvoiceLine("20240100002", 2, "1", "2301", "20240100001", "0002", 4000);
        Invoice("20240100009", 36, "C001");
        InvoiceLine("20240100009", 1, "1", "2301", "20240100002", "0001", 200);
        Receipt("6301", "20240100001", 45, "C001");
        ReceiptLine("6301", "20240100001", 1, "20240100001", "0001", 300);
        Receipt("6301", "20240100002", 50, "C001");
        ReceiptLine("6301", "20240100002", 1, "20240100002", "", 4300);
        Receipt("6D01", "20240100001", 55, "C001");
        ReceiptLine("6D01", "20240100001", 1, "20240100001", "", 20);
        WriteOff("WO240100001", 58, "20240100001", "0001", 280);
        WriteOff("WO240100002", 59, "20240100002", "", 4300);
        SettlementReceipt("20240100001", 46, "C001", "20240100001", 300);
        SettlementReceipt("20240100003", 51, "C001", "20240100002", 4300);

        // 2: a return with its invoice, receipt, refund and write-off record.
        Order("20240100002", 9, "C002", "BF-2024-017", "P2024-002");
        OrderLine("20240100002", 1, motor, 10, 24, "N");
        Delivery("20240100004", 24, "C002");
        DeliveryLine("20240100004", 1, motor, 10, 0, "2201", "20240100002", 1);
        Invoice("20240100003", 30, "C002");
        InvoiceLine("20240100003", 1, "1", "2301", "20240100004", "0001", 12000);
        Return("20240100001", 35, "C002", motor, 2, 1, "2201", "20240100002", 1);
        Invoice("20240100004", 40, "C002");
        InvoiceLine("20240100004", 1, "2", "2401", "20240100001", "0001", -2400);
        Receipt("6301", "20240100003", 45, "C002");
        ReceiptLine("6301", "20240100003", 1, "20240100004", "0001", -2400);
        Receipt("6D01", "20240100002", 46, "C002");
        ReceiptLine("6D01", "20240100002", 1, "20240100004", "", -2400);
        WriteOff("WO240100003", 47, "20240100004", "0001", -2400);
        SettlementReceipt("20240100004", 48, "C002", "20240100004", -2400);

        // 3: advance invoices (one for the whole order, empty TB007) with
        //    receipts, an offset document, and three receipts of the advance settlement.
        Order("20240100003", 11, "C003", "NY-24-0311", "");
        OrderLine("20240100003", 1, gearbox, 5, 60, "N");
        OrderLine("20240100003", 2, pump, 3, 60, "N");
        Invoice("20240100005", 12, "C003");
        InvoiceLine("20240100005", 1, "6", "2201", "20240100003", "", 5000);
        Invoice("20240100006", 13, "C003");
        InvoiceLine("20240100006", 1, "6", "2201", "20240100003", "0002", 3000);
        Receipt("6C01", "20240100001", 17, "C003", "2201", "20240100003");
        ReceiptLine("6C01", "20240100001", 1, "20240100005", "", 5000);
        Receipt("6C01", "20240100002", 10, "C003", "2201", "20240100003");
        Invoice("20240100007", 60, "C003");
        InvoiceLine("20240100007", 1, "9", "6101", "20240100005", "0001", -5000);
        SettlementReceipt("20240100002", 18, "C003", "20240100005", 2000, "6");
        SettlementReceipt("20240100005", 20, "C003", "20240100005", 2000, "6");
        SettlementReceipt("20240100006", 22, "C003", "20240100005", 1000, "6");

        // 4: requisitions purchased partly in another unit, purchase orders.
        Order("20240100004", 14, "C004", "JN-PO-889", "P2024-001");
        OrderLine("20240100004", 1, screw, 20, 45, "N");
        OrderLine("20240100004", 2, carton, 100, 45, "N");
        Requisition("20240100001", 15);
        RequisitionLine("20240100001", 1, screw, 20, 16, 30, "2201", "20240100004", 1);
        PurchaseRecord("20240100001", 1, 1, 4, "PCS");
        PurchaseRecord("20240100001", 1, 2, 1, "DZ");
        PurchaseRecord("20240100001", 1, 3, 5, "PCS", "N");
        RequisitionLine("20240100001", 2, carton, 100, 70, 30, "2201", "20240100004", 2);
        PurchaseRecord("20240100001", 2, 1, 2, "BDL");
        PurchaseRecord("20240100001", 2, 2, 30, "PCS");
        Purchase("20240100001", 17, "V001");
        PurchaseLine("20240100001", 1, screw, 16, 10, 24, "2201", "20240100004", 1);
        PurchaseLine("20240100001", 2, carton, 70, 0, 24, "2201", "20240100004", 2);

        // 5: work orders in every state, with routing steps.
        Order("20240100005", 17, "C005", "SD-24-051", "");
        OrderLine("20240100005", 1, motor, 60, 90, "N");
        const char* states[] = {"1", "2", "3", "Y", "y"};
        for (int w = 0; w < 5; ++w)
            WorkOrder("2024010000" + std::to_string(w + 1), 18 + w, motor, states[w], 12,
                      states[w][0] == 'Y' || states[w][0] == 'y' ? 12 : (w == 2 ? 5 : 0), "2201", "20240100005", 1,
                      3);

        // 6: an order with nothing downstream.
        Order("20240100006", 19, "C006", "", "");
        OrderLine("20240100006", 1, board, 50, 50, "N");

        // 7: single quotes in document numbers (the order's and a delivery's).
        Order("2024'010007", 21, "C007", "DH'24-07", "");
        OrderLine("2024'010007", 1, ring, 300, 40, "N");
        Delivery("DQ'24010001", 30, "C007");
        DeliveryLine("DQ'24010001", 1, ring, 300, 0, "2201", "2024'010007", 1);
        Invoice("20240100008", 33, "C007");
        InvoiceLine("20240100008", 1, "1", "2301", "DQ'24010001", "0001", 450);

        // 8: a short order number (padded to 11) with closed lines.
        Order("123", 24, "C008", "XB-123", "");
        OrderLine("123", 1, pump, 2, 40, "Y");
        OrderLine("123", 2, pump, 1, 40, "y");
        Delivery("20240100006", 34, "C008");
        DeliveryLine("20240100006", 1, pump, 2, 0, "2201", "123", 1);

        // 9: an unconfirmed order, never listed.
        Order("20240100009", 25, "C009", "", "", "N");
        OrderLine("20240100009", 1, board, 5, 40, "N");

        // 11: one order line with every kind of downstream document: a
        //     delivery invoiced, received, refunded and written off; a return
        //     invoiced and received; an advance invoice with its receipt and an
        //     advance receipt; a requisition purchased in full; a purchase
        //     order; a work order in production with its routing.
        Order("20240100010", 26, "C003", "NY-24-0310", "");
        OrderLine("20240100010", 1, gearbox, 10, 55, "N");
        Delivery("20240100010", 40, "C003");
        DeliveryLine("20240100010", 1, gearbox, 10, 1, "2201", "20240100010", 1);
        Invoice("20240100010", 42, "C003");
        InvoiceLine("20240100010", 1, "1", "2301", "20240100010", "0001", 8000);
        Receipt("6301", "20240100010", 44, "C003");
        ReceiptLine("6301", "20240100010", 1, "20240100010", "0001", 7900);
        Receipt("6D01", "20240100010", 45, "C003");
        ReceiptLine("6D01", "20240100010", 1, "20240100010", "0001", 100);
        WriteOff("WO240100010", 46, "20240100010", "0001", 7800);
        Return("20240100010", 48, "C003", gearbox, 1, 0, "2201", "20240100010", 1);
        Invoice("20240100011", 49, "C003");
        InvoiceLine("20240100011", 1, "2", "2401", "20240100010", "0001", -800);
        Receipt("6301", "20240100011", 50, "C003");
        ReceiptLine("6301", "20240100011", 1, "20240100011", "0001", -800);
        Invoice("20240100012", 27, "C003");
        InvoiceLine("20240100012", 1, "6", "2201", "20240100010", "0001", 2000);
        Receipt("6C01", "20240100010", 27, "C003", "2201", "20240100010");
        ReceiptLine("6C01", "20240100010", 1, "20240100012", "0001", 2000);
        Requisition("20240100010", 28);
        RequisitionLine("20240100010", 1, gearbox, 10, 10, 50, "2201", "20240100010", 1);
        PurchaseRecord("20240100010", 1, 1, 10, gearbox.unit);
        Purchase("20240100010", 30, "V001");
        PurchaseLine("20240100010", 1, gearbox, 10, 10, 50, "2201", "20240100010", 1);
        WorkOrder("20240100010", 29, gearbox, "3", 10, 4, "2201", "20240100010", 1, 2);

        // 10: an export order with decimal quantities.
        Order("20240100001", 31, "C009", "ZY-EX-01", "", "Y", "2202");
        OrderLine("20240100001", 1, steel, 1500.5, 70, "N", "2202");
        Delivery("20240100007", 45, "C009");
        DeliveryLine("20240100007", 1, steel, 750.25, 0.5, "2202", "20240100001", 1);
    }

    // ---- seeded bulk

    void Bulk() {
        long written = 0;
        long serial = 0;
        while (written < options_.orderLines) {
            std::string orderNo = Number(++serial);
            std::string type = random_.Percent(80) ? "2201" : "2202";
            int day = 366 + random_.Below(700);
            const Customer& customer = kCustomers[random_.Below(static_cast<int>(kCustomers.size()))];
            Order(orderNo, day, customer.code, "", random_.Percent(10) ? "P2024-001" : "",
                  random_.Percent(97) ? "Y" : "N", type);
            int lines = 1 + random_.Below(5);
            for (int l = 1; l <= lines && written < options_.orderLines; ++l, ++written)
                BulkLine(type, orderNo, l, day, customer.code);
        }
    }

    // Eleven characters: "2025" and a seven-digit serial.
    std::string Number(long serial) {
        if (serial > 9999999) throw SqlError("demo database: too many documents of one kind");
        char buf[40];
        std::snprintf(buf, sizeof buf, "2025%07ld", serial);
        return buf;
    }

    void BulkLine(const std::string& type, const std::string& orderNo, int seq, int day, const char* customer) {
        const Item& item = kItems[random_.Below(static_cast<int>(kItems.size()))];
        double qty = 1 + random_.Below(500);
        int r = random_.Below(100);
        OrderLine(orderNo, seq, item, qty, day + 7 + random_.Below(50), r < 20 ? "Y" : (r < 23 ? "y" : "N"), type);
        if (random_.Percent(70)) BulkDelivery(type, orderNo, seq, day, customer, item, qty);
        if (random_.Percent(5)) BulkReturn(type, orderNo, seq, day, customer, item);
        if (random_.Percent(20)) BulkRequisition(type, orderNo, seq, day, item, qty);
        if (random_.Percent(15)) BulkWorkOrder(type, orderNo, seq, day, item, qty);
        if (seq == 1 && random_.Percent(3)) BulkAdvance(type, orderNo, day, customer);
    }

    void BulkDelivery(const std::string& type, const std::string& orderNo, int seq, int day, const char* customer,
                      const Item& item, double qty) {
        std::string no = Number(++deliveries_);
        Delivery(no, day + 5, customer);
        DeliveryLine(no, 1, item, qty, random_.Percent(10) ? 1 : 0, type, orderNo, seq);
        if (!random_.Percent(60)) return;
        std::string invoice = Number(++invoices_);
        Invoice(invoice, day + 10, customer);
        InvoiceLine(invoice, 1, "1", "2301", no, "0001", qty * 10);
        if (random_.Percent(50)) {
            std::string receipt = Number(++receipts_);
            Receipt("6301", receipt, day + 20, customer);
            ReceiptLine("6301", receipt, 1, invoice, random_.Percent(20) ? "" : "0001", qty * 10);
            SettlementReceipt(receipt, day + 20, customer, invoice, qty * 10);
        }
        if (random_.Percent(5)) WriteOff("W" + Number(++writeOffCount_).substr(1), day + 25, invoice, "0001", qty * 10);
        if (random_.Percent(3)) {
            std::string refund = Number(++receipts_);
            Receipt("6D01", refund, day + 30, customer);
            ReceiptLine("6D01", refund, 1, invoice, "", qty);
        }
    }

    void BulkReturn(const std::string& type, const std::string& orderNo, int seq, int day, const char* customer,
                    const Item& item) {
        std::string no = Number(++returns_);
        Return(no, day + 15, customer, item, 1, 0, type, orderNo, seq);
        std::string invoice = Number(++invoices_);
        Invoice(invoice, day + 16, customer);
        InvoiceLine(invoice, 1, "2", "2401", no, "0001", -10);
        std::string receipt = Number(++receipts_);
        Receipt("6301", receipt, day + 20, customer);
        ReceiptLine("6301", receipt, 1, invoice, "0001", -10);
    }

    void BulkRequisition(const std::string& type, const std::string& orderNo, int seq, int day, const Item& item,
                         double qty) {
        std::string no = Number(++requisitions_);
        Requisition(no, day + 1);
        double first = std::max(1.0, qty / 2);
        RequisitionLine(no, 1, item, qty, first, day + 20, type, orderNo, seq);
        PurchaseRecord(no, 1, 1, first, item.unit);
        if (!random_.Percent(75)) return;
        std::string po = Number(++purchases_);
        Purchase(po, day + 3, "V001");
        PurchaseLine(po, 1, item, first, random_.Percent(50) ? first : 0, day + 20, type, orderNo, seq);
    }

    void BulkWorkOrder(const std::string& type, const std::string& orderNo, int seq, int day, const Item& item,
                       double qty) {
        static const char* states[] = {"1", "2", "3", "Y", "y"};
        const char* state = states[random_.Below(5)];
        double produced = state[0] == 'Y' || state[0] == 'y' ? qty : 0;
        WorkOrder(Number(++workOrderCount_), day + 2, item, state, qty, produced, type, orderNo, seq,
                  2 + random_.Below(3));
    }

    void BulkAdvance(const std::string& type, const std::string& orderNo, int day, const char* customer) {
        std::string invoice = Number(++invoices_);
        Invoice(invoice, day + 1, customer);
        InvoiceLine(invoice, 1, "6", type, orderNo, "", 1000);
        std::string receipt = Number(++receipts_);
        Receipt("6C01", receipt, day + 2, customer, type, orderNo);
        ReceiptLine("6C01", receipt, 1, invoice, "", 1000);
    }

    sqlite3* db_;
    const DemoOptions& options_;
    Random random_;
    long deliveries_ = 0, invoices_ = 0, receipts_ = 0, returns_ = 0, requisitions_ = 0, purchases_ = 0,
         workOrderCount_ = 0, writeOffCount_ = 0;
    Writer customers_, items_, conversions_, docTypes_, processes_, projects_, currencies_, orderHeads_,
        orderLines_, deliveryHeads_, deliveryLines_, returnHeads_, returnLines_, invoiceHeads_, invoiceLines_,
        receiptHeads_, receiptLines_, settlementReceiptHeads_, settlementReceiptLines_, writeOffs_,
        requisitionHeads_, requisitionLines_, purchaseRecords_, purchaseHeads_, purchaseLines_, workOrders_, routing_,
        programs_, sysParams_, users_, userInfo_, messages_;
};

// Owns a writable connection for the generator; closes it on every path.
struct WritableDatabase {
    sqlite3* db = nullptr;
    explicit WritableDatabase(const std::filesystem::path& file) {
        std::error_code ec;
        std::filesystem::remove(file, ec);
        if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
            std::string message = db ? sqlite3_errmsg(db) : "out of memory";
            sqlite3_close(db);
            throw SqlError("cannot create " + file.string() + ": " + message);
        }
    }
    ~WritableDatabase() { sqlite3_close(db); }
};

}  // namespace

void CreateEmptyDatabase(const std::filesystem::path& file) {
    WritableDatabase out(file);
    Exec(out.db, "PRAGMA synchronous = OFF; BEGIN");
    Exec(out.db, SchemaSql());
    Exec(out.db, "COMMIT");
}

DemoReport CreateDemoDatabase(const std::filesystem::path& file, const DemoOptions& options) {
    auto start = std::chrono::steady_clock::now();
    WritableDatabase out(file);
    Exec(out.db, "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; BEGIN");
    Exec(out.db, SchemaSql());
    DemoReport report;
    {
        Generator generator(out.db, options);
        report = generator.Run();
    }
    Exec(out.db, "COMMIT");
    Exec(out.db, "ANALYZE");
    report.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return report;
}

namespace {

// A SQLite file in the temporary folder, removed with the object.
struct ScratchFile {
    std::filesystem::path path;
    ScratchFile() {
        static std::atomic<int> counter{0};
        path = std::filesystem::temp_directory_path() /
               ("ortk-demo-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".db");
    }
    ~ScratchFile() {
        std::error_code ec;
        std::filesystem::remove(path, ec);
    }
};

}  // namespace

void CreateEmptyDatabase(const PostgresSettings& server, const std::string& name) {
    LoadPostgresCompany(server, name);
}

DemoReport CreateDemoDatabase(const PostgresSettings& server, const std::string& name, const DemoOptions& options) {
    auto start = std::chrono::steady_clock::now();
    ScratchFile file;
    DemoReport report = CreateDemoDatabase(file.path, options);
    LoadPostgresCompany(server, name, file.path);
    report.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return report;
}

}  // namespace server
