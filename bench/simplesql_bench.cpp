// SimpleSQL against plain SQLite: the listings of one order-line expansion of
// the tracking window, and an order list over a date range, run through the
// service (translation, read-only guard, variant answer) and directly on a
// SQLite connection (prepare, step, read every value as text or number) in
// the same run. Prints the time ratio service / direct per workload.
//
//   simplesql_bench [--orders N] [benchmark options]   (N defaults to 20000)
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "DemoData.h"
#include "SimpleSql.h"

namespace {

struct Listing {
    std::string dialect;  // as the window sends it
    std::string native;   // the same statement written for SQLite by hand
    std::string fields;
};

// A statement written with "$$" whose SQLite form differs only by the prefix.
Listing Plain(const std::string& sql, const std::string& fields) {
    std::string native = sql;
    for (size_t at; (at = native.find("$$")) != std::string::npos;) native.erase(at, 2);
    return {sql, native, fields};
}

// The listings of one expansion of order line 2201-20240100001-0001 with
// their follow-ups, as the tree issues them for the showcase documents.
std::vector<Listing> Expansion() {
    const std::string k = "Rtrim(TH014)='2201' AND Rtrim(TH015)='20240100001' AND Rtrim(TH016)='0001'";
    std::vector<Listing> out;
    out.push_back(Plain(" Select TH001,TH002,TH003,TG003,TH008,TH024,TH009,TH027,TH028,TH029  FROM $$COPTG  INNER JOIN "
                        "$$COPTH ON TH001=TG001 AND TH002=TG002  WHERE TH020='Y'  AND " + k +
                            " Order by TG003,TH001,TH002,TH003 ",
                        "TH001,TH002,TH003,TG003,TH008,TH024,TH009,TH027,TH028,TH029"));
    for (const char* delivery : {"20240100001", "20240100002"})
        out.push_back(Plain(std::string(" Select TB001,TB002,TB003,TA003  FROM $$ACRTA  INNER JOIN $$ACRTB ON "
                                        "TB001=TA001 AND TB002=TA002  WHERE TB012='Y' AND TB004='1'  AND "
                                        "Rtrim(TB005)='2301' AND Rtrim(TB006)='") + delivery +
                                "' AND Rtrim(TB007)='0001' Order by TA003,TB001,TB002,TB003 ",
                            "TB001,TB002,TB003,TA003"));
    for (const char* invoice : {"20240100001", "20240100002", "20240100009"}) {
        for (const char* kind : {"63", "6D"})
            out.push_back(Plain(std::string(" Select TL001,TL002,TL003,TK003  FROM $$ACRTK  INNER JOIN $$ACRTL ON "
                                            "TL001=TK001 AND TL002=TK002  INNER JOIN $$CMSMQ ON MQ001=TK001  WHERE "
                                            "TK020='Y' AND TL004='1' AND MQ003='") + kind +
                                    "'  AND Rtrim(TL005)='6101' AND Rtrim(TL006)='" + invoice +
                                    "' AND Rtrim(TL007) IN ('0001', '')  Order by TK003,TL001,TL002,TL003 ",
                                "TL001,TL002,TL003,TK003"));
        out.push_back(Plain(std::string(" Select LC003,LC004,LC005,LC002  FROM $$ACRLC  WHERE LC026='Y'  AND "
                                        "Rtrim(LC003)='6101' AND Rtrim(LC004)='") + invoice +
                                "' AND Rtrim(LC005) IN ('0001', '')  Order by LC002,LC003,LC004,LC005 ",
                            "LC003,LC004,LC005,LC002"));
    }
    const std::string order = "='2201' AND Rtrim(TJ019)='20240100001' AND Rtrim(TJ020)='0001'";
    out.push_back(Plain(" Select TJ001,TJ002,TJ003,TI003,TJ007,TJ008,TJ025,TJ026,TJ027,TJ068  FROM $$COPTI  INNER JOIN "
                        "$$COPTJ ON TJ001=TI001 AND TJ002=TI002  WHERE TJ021='Y'  AND Rtrim(TJ018)" + order +
                            " Order by TI003,TJ001,TJ002,TJ003 ",
                        "TJ001,TJ002,TJ003,TI003,TJ007,TJ008,TJ025,TJ026,TJ027,TJ068"));
    out.push_back(Plain(" Select TB001,TB002,TB003,TA003  FROM $$ACRTA  INNER JOIN $$ACRTB ON TA001=TB001 AND "
                        "TA002=TB002  WHERE TB012='Y' AND TB004='6'  AND Rtrim(TB005)='2201' AND "
                        "Rtrim(TB006)='20240100001' AND Rtrim(TB007) IN ('0001', '')  Order by TA003,TB001,TB002,TB003 ",
                        "TB001,TB002,TB003,TA003"));
    out.push_back(Plain(" Select TK001,TK002,TK003  FROM $$ACRTK  INNER JOIN $$CMSMQ ON MQ001=TK001  WHERE TK020='Y' AND "
                        "MQ003='6C'  AND Rtrim(TK017)='2201' AND Rtrim(TK018)='20240100001' Order by TK003,TK001,TK002 ",
                        "TK001,TK002,TK003"));
    out.push_back(Plain(" Select TB001,TB002,TB003,TA003,TB009,TB007,TB014,TB015,TB045,TB007,TB004,TB005  FROM $$PURTA  "
                        "INNER JOIN $$PURTB ON TB001=TA001 AND TB002=TA002  WHERE TB025='Y'  AND Rtrim(TB029)='2201' AND "
                        "Rtrim(TB030)='20240100001' AND Rtrim(TB031)='0001' Order by TA003,TB001,TB002,TB003 ",
                        "TB001,TB002,TB003,TA003,TB009,TB007,TB014,TB015,TB045,TB007,TB004,TB005 "));
    out.push_back(Plain(" Select TD001,TD002,TD003,TC003,TD008,TD009,TD015,TD012,TD004,TD005  FROM $$PURTC  INNER JOIN "
                        "$$PURTD ON TD001=TC001 AND TD002=TC002  WHERE TD018='Y'  AND Rtrim(TD013)='2201' AND "
                        "Rtrim(TD021)='20240100001' AND Rtrim(TD023)='0001' Order by TC003,TD001,TD002,TD003 ",
                        "TD001,TD002,TD003,TC003,TD008,TD009,TD015,TD012,TD004,TD005"));
    out.push_back(Plain(" Select TA001,TA002,TA003,TA015,TA007,TA017,TA011  FROM $$MOCTA  WHERE TA013='Y'  AND "
                        "Rtrim(TA026)='2201' AND Rtrim(TA027)='20240100005' AND Rtrim(TA028)='0001' Order by "
                        "TA003,TA001,TA002 ",
                        "TA001,TA002,TA003,TA015,TA007,TA017,TA011"));
    out.push_back(Plain(" Select TA003,MW002,TA004,TA007,TA006,TA008,TA009,TA010,TA011,TA012,TA013,TA014,TA015,TA016,"
                        "TA017,TA032,TA030,TA031  FROM $$SFCTA  LEFT JOIN $$CMSMW ON MW001=TA004  WHERE "
                        "Rtrim(TA001)='5101' AND Rtrim(TA002)='20240100003' Order by TA001,TA002,TA003,TA006 ",
                        "TA003,MW002,TA004,TA007,TA006,TA008,TA009,TA010,TA011,TA012,TA013,TA014,TA015,TA016,TA017,"
                        "TA032,TA030,TA031"));
    return out;
}

// The order list of one order range (type and number together) and a month of order dates.
std::vector<Listing> OrderList() {
    const std::string head = " SELECT TD001,TD002,TD003,TD004,TD005,TC003,MA002,TC004,TD008,TD010,TD013,TD006  FROM ";
    const std::string tail = " AND ( TC003 BETWEEN '20250101' AND '20250131') ORDER BY TD001,TD002,TD003 ";
    return {{head + "$$COPTC COPTC  INNER JOIN $$COPTD COPTD ON TD001=TC001 AND TD002=TC002  LEFT JOIN $$COPMA COPMA ON "
                    "MA001=TC004  WHERE TC027='Y'  AND ( (TC001 + TC002) BETWEEN '22012025' AND '22022025') " + tail,
             head + "COPTC COPTC  INNER JOIN COPTD COPTD ON TD001=TC001 AND TD002=TC002  LEFT JOIN COPMA COPMA ON "
                    "MA001=TC004  WHERE TC027='Y'  AND ( ((TC001 || TC002) COLLATE RTRIM) BETWEEN '22012025' AND "
                    "'22022025') " + tail,
             "TD001,TD002,TD003,TD004,TD005,TC003,MA002,TC004,TD008,TD010,TD013,TD006 "}};
}

long gOrders = 20000;

struct World {
    std::filesystem::path folder;
    std::unique_ptr<server::SimpleSqlService> service;
    sqlite3* direct = nullptr;

    World() {
        folder = std::filesystem::temp_directory_path() / "ortk-simplesql-bench";
        std::filesystem::create_directories(folder);
        server::DemoOptions options;
        options.orderLines = gOrders;
        server::DemoReport report = server::CreateDemoDatabase(folder / "PRTest65.db", options);
        std::printf("demo database: %ld order lines, %ld rows, built in %.2f s\n", report.orderLines, report.rows,
                    report.seconds);
        service = std::make_unique<server::SimpleSqlService>(folder);
        sqlite3_open_v2((folder / "PRTest65.db").c_str(), &direct, SQLITE_OPEN_READONLY, nullptr);
    }
    ~World() {
        sqlite3_close(direct);
        service.reset();
        std::filesystem::remove_all(folder);
    }
};

World& TheWorld() {
    static World world;
    return world;
}

void ThroughService(benchmark::State& state, std::vector<Listing> (*listings)()) {
    World& world = TheWorld();
    std::vector<Listing> work = listings();
    plat::Variant context = plat::VarArrayOf({"PRTest65", "PRTest65"});
    size_t rows = 0;
    for (auto _ : state)
        for (const Listing& l : work) {
            plat::Variant answer = world.service->SimpleSql(plat::VarArrayOf({l.dialect, l.fields}), context);
            rows += answer.IsArray() ? answer.Array().Count() : 0;
        }
    state.counters["rows/iter"] = static_cast<double>(rows) / static_cast<double>(state.iterations());
}

void Direct(benchmark::State& state, std::vector<Listing> (*listings)()) {
    World& world = TheWorld();
    std::vector<Listing> work = listings();
    size_t rows = 0;
    for (auto _ : state)
        for (const Listing& l : work) rows += bench::RunDirect(world.direct, l.native);
    state.counters["rows/iter"] = static_cast<double>(rows) / static_cast<double>(state.iterations());
}

BENCHMARK_CAPTURE(ThroughService, Expansion, Expansion)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Direct, Expansion, Expansion)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(ThroughService, OrderList, OrderList)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Direct, OrderList, OrderList)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--orders") == 0 && i + 1 < argc) gOrders = std::atol(argv[++i]);
        else rest.push_back(argv[i]);
    }
    int count = static_cast<int>(rest.size());
    benchmark::Initialize(&count, rest.data());
    bench::RatioReporter reporter({{"Expansion", "ThroughService/Expansion", "Direct/Expansion"},
                                   {"OrderList", "ThroughService/OrderList", "Direct/OrderList"}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios("SimpleSQL");
    benchmark::Shutdown();
    return 0;
}
