// Times the order loader's pending-lines SELECT, through the dialect layer, on one order of
// 1,000 / 5,000 / 20,000 lines that an earlier note partly delivered.
#include "generate.h"

#include "db/Connection.h"
#include "vn003/loading/ConsultasCarga.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using tesmira::db::Connection;

void PendingLines(benchmark::State& state)
{
    Connection c(":memory:");
    const auto company = bench::generateCompany(c, static_cast<int>(state.range(0)));
    const std::string sql = tesmira::vn003::consultas::pendientesPedido(company.orderFolio);
    if (c.Execute(sql).rowCount() != static_cast<size_t>(company.lines)) {
        state.SkipWithError("the pending-lines query does not answer one row per order line");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(c.Execute(sql).rowCount());
    state.SetItemsProcessed(state.iterations() * company.lines);
}
BENCHMARK(PendingLines)->Arg(1000)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);

void GenerateCompany(benchmark::State& state)
{
    for (auto _ : state) {
        Connection c(":memory:");
        benchmark::DoNotOptimize(bench::generateCompany(c, static_cast<int>(state.range(0))).lines);
    }
}
BENCHMARK(GenerateCompany)->Arg(20000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
