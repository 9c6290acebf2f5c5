// Helpers of the data access tests: an automation object that answers by
// member name and counts the calls, an in-memory provider that serves a
// packet and records (or refuses) the deltas sent to it, and a host whose
// message texts name their kind and code, so that tests see which coded
// message a check showed.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "DataPacket.h"
#include "Dispatch.h"
#include "Variant.h"

namespace datatest {

// Members answer through the given functions; every call is counted.
class FakeService : public plat::AutomationObject {
public:
    void On(const std::string& name, std::function<plat::Variant(plat::Args&)> answer) {
        Method(name, [this, name, answer](plat::Args& args) {
            ++calls[name];
            return answer(args);
        });
    }
    std::map<std::string, int> calls;
};

// A provider over a fixed table held in memory.
class MemoryProvider : public plat::AutomationObject {
public:
    MemoryProvider(std::vector<plat::packet::FieldDesc> fields, std::vector<std::vector<plat::Variant>> rows,
                   std::string table = "T")
        : fields_(std::move(fields)), rows_(std::move(rows)), table_(std::move(table)) {
        Method("AS_GetRecords", [this](plat::Args& a) {
            int count = plat::ArgAt(a, 1).ToInt();
            int offset = plat::ArgAt(a, 6).IsNumeric() ? plat::ArgAt(a, 6).ToInt() : 0;
            offsets.push_back(offset);
            std::vector<plat::Variant> out;
            for (int i = offset; i < static_cast<int>(rows_.size()) && (count < 0 || i < offset + count); ++i)
                out.push_back(plat::VarArrayOf(rows_[static_cast<size_t>(i)]));
            a[2].Value = int32_t(out.size());
            plat::Variant rows = out.empty() ? plat::Variant() : plat::VarArrayOf(out);
            return plat::packet::MakeDataPacket(fields_, rows, table_);
        });
        Method("AS_ApplyUpdates", [this](plat::Args& a) {
            deltas.push_back(plat::ArgAt(a, 1));
            maxErrors.push_back(plat::ArgAt(a, 2).ToInt());
            std::vector<plat::Variant> errors;
            const plat::Variant& changes = plat::ArgAt(a, 1)[2];
            for (int i = 0; i < changes.Array().Count(); ++i) {
                const plat::Variant& change = changes[i];
                if (refuse && refuse(change))
                    errors.push_back(plat::VarArrayOf({change[0], "Record changed by another user", "UPDATE T", 7}));
            }
            a[3].Value = int32_t(errors.size());
            return errors.empty() ? plat::Variant() : plat::VarArrayOf(errors);
        });
    }

    std::vector<int> offsets;                     // offset of every packet asked for
    std::vector<plat::Variant> deltas;            // every delta received
    std::vector<int> maxErrors;
    std::function<bool(const plat::Variant& change)> refuse;   // changes to report as failed

private:
    std::vector<plat::packet::FieldDesc> fields_;
    std::vector<std::vector<plat::Variant>> rows_;
    std::string table_;
};

// The changes of a delta as "kind:value of column `column` (new, else old)".
inline std::vector<std::string> ChangeSummary(const plat::Variant& delta, int column) {
    std::vector<std::string> out;
    const plat::Variant& changes = delta[2];
    for (int i = 0; i < changes.Array().Count(); ++i) {
        const plat::Variant& c = changes[i];
        const plat::Variant& row = c[3].IsArray() ? c[3] : c[2];
        out.push_back(std::to_string(c[1].ToInt()) + ":" + (row.IsArray() ? row[column].ToString() : std::string()));
    }
    return out;
}

// A host whose message texts are "<kind><code>" and whose counter service is `counter`.
inline std::shared_ptr<FakeService> MessageHost(std::shared_ptr<FakeService> counter = nullptr) {
    auto host = std::make_shared<FakeService>();
    host->On("GetMessage", [](plat::Args& a) {
        return plat::Variant(plat::ArgAt(a, 0).ToString() + plat::ArgAt(a, 1).ToString());
    });
    host->On("Com_Counter", [counter](plat::Args&) {
        return counter ? plat::Variant(plat::DispatchRef(counter)) : plat::Variant();
    });
    host->On("Com_Validator", [](plat::Args&) { return plat::Variant(); });
    host->On("Com_Picker", [](plat::Args&) { return plat::Variant(); });
    return host;
}

}  // namespace datatest
