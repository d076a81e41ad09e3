// What a long watch list costs in the core: loading it from the settings store, adding to
// it, deleting from it and saving it, each as the main window's commands do it (every
// command ends by saving the whole list). The settings store is in memory, so these are the
// core's own shares; bench/qt_list_bench and bench/win32/list_timing add the views'.
//
// "changes" counts the list's change notifications per operation: each one makes a view
// look at the list again, so a load must raise a fixed number of them, not one per row.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "FakePlatform.h"
#include "platform/qt/QtTextCase.h"
#include "form/Form1.h"
#include "watchlist/WatchListStore.h"
#include "BlockList.h"

namespace {

using namespace tamberlyn;

using Platform = fakes::FakePlatform<QtTextCase>;

// A started form whose list holds count fragments, with the changes its view would see counted.
struct Started {
    explicit Started(long count) {
        fake.settings.set("Listview", JoinWatchList(BlockListFragments(count)));
        form = std::make_unique<Form1>(fake.platform);
        form->window.setHandle(1);
        form->ListView1.onChange = [this] { ++changes; };
        form->Form_Load();
    }
    Platform fake;
    std::unique_ptr<Form1> form;
    long changes = 0;
};

void Load(benchmark::State& state) {
    const std::string stored = JoinWatchList(BlockListFragments(state.range(0)));
    long changes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Platform fake;
        fake.settings.set("Listview", stored);
        ListView list("ListView1", {}, 0, "");
        list.onChange = [&changes] { ++changes; };
        state.ResumeTiming();
        list.addRows(LoadWatchList(fake.settings));
        benchmark::DoNotOptimize(list.count());
    }
    state.counters["changes"] = static_cast<double>(changes) / static_cast<double>(state.iterations());
}

void Save(benchmark::State& state) {
    Started started(state.range(0));
    for (auto _ : state) SaveWatchList(started.fake.settings, started.form->ListView1.watchList());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(started.fake.settings.get("Listview")->size()));
}

// "Add To List Below", which saves the list: the list grows by one row per iteration.
void Add(benchmark::State& state) {
    Started started(state.range(0));
    Form1& form = *started.form;
    started.changes = 0;
    for (auto _ : state) {
        form.Text1.setText("Another special offer");
        form.PushButton1_Click();
    }
    state.counters["changes"] = static_cast<double>(started.changes) / static_cast<double>(state.iterations());
}

// Delete pressed on a row in the middle, which saves the list; a row is put back, unmeasured.
void Delete(benchmark::State& state) {
    Started started(state.range(0));
    Form1& form = *started.form;
    const int middle = form.ListView1.count() / 2;
    started.changes = 0;
    for (auto _ : state) {
        form.ListView1.select(middle);
        form.ListView1_KeyDown(kVirtualKeyDelete, 0);
        state.PauseTiming();
        form.ListView1.add("Put back");
        --started.changes;  // not the command's
        state.ResumeTiming();
    }
    state.counters["changes"] = static_cast<double>(started.changes) / static_cast<double>(state.iterations());
}

// 1,000, 10,000 and 100,000 fragments: linear costs grow tenfold from one to the next.
#define TAMBERLYN_LIST_ARGS RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond)
BENCHMARK(Load)->TAMBERLYN_LIST_ARGS;
BENCHMARK(Save)->TAMBERLYN_LIST_ARGS;
BENCHMARK(Add)->TAMBERLYN_LIST_ARGS;
BENCHMARK(Delete)->TAMBERLYN_LIST_ARGS;

}  // namespace

BENCHMARK_MAIN();
