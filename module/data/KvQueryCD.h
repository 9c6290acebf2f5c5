// TdmKvQuery: the data module of query programs. Besides the main
// connection it holds the query server ("KvQueryS.Class1") that answers the
// query frame's data requests, the body dataset the results are shown in,
// and the sorting of that body by a column title.
#pragma once

#include <functional>
#include <string>

#include "SingleCD.h"

class TdmKvQuery : public TdmSingle {
    VCL_DECLARE_CLASS(TdmKvQuery)
public:
    explicit TdmKvQuery(vcl::TComponent* owner);

    vcl::TSocketConnection* MIDAS1;   // the query server
    vcl::TClientDataSet* cdsBody;     // provider "pvdQuery"
    vcl::TDataSource* dsBody;
    plat::Variant QueryServer;        // the query server's automation interface

    // Whether the window lets the user sort by clicking a column title;
    // the window sets it (no sorting while it is unset).
    std::function<bool()> AllowColumnSort;

    // Logs on like every program, then tells the application server that
    // this session only queries: from then on it refuses to apply changes
    // to business tables, whatever a dataset sends. A server that does not
    // know the request is noted in the alert log; the window itself
    // changes nothing either way.
    bool ConnectServer() override;
    // Opens the main dataset, then connects the query server: in process
    // when the main connection is 127.0.0.1, else at the same address and
    // port as the main connection.
    bool OpenData() override;
    void ConnectQueryServer();
    // Sorts the body by a column, toggling ascending and descending on
    // repeated calls; an empty or unknown name clears the sort. Nothing
    // happens unless AllowColumnSort says so.
    void SortBodyBy(const std::string& fieldName);
    // Runs after every "GetQueryData" of the query frame, answered or not:
    // the query server may have moved the module's datasets, so every
    // control bound to a data source of the module shows its field anew.
    virtual void RefreshAfterQuery();
    const std::string& SortField() const { return sortField_; }
    bool SortDescending() const { return sortDescending_; }

protected:
    void cdsMainAfterScroll(vcl::TClientDataSet* dataSet) override;

private:
    void Reposition(const vcl::TBookmark& mainMark, int mainRecNo, const vcl::TBookmark& bodyMark);
    std::string sortField_;
    bool sortDescending_ = false;
};
