// A long watch list in the Linux program: the whole program (QtProgram) over its real
// settings file, in a scratch XDG_CONFIG_HOME, with its window on the display. Needs one:
//   tests/linux/with-display -- build/linux/bench/qt_list_bench
//
// Start: the program is made and started with N fragments stored (the settings file is
// read, the list filled, the widget built). Show: from there until the window is on the
// screen with its rows painted. Add, Delete, DoubleClick, Clear: the user's commands through
// the widgets, each ending with the list saved to the file and the window repainted. Save:
// the save alone.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "platform/qt/QtProgram.h"
#include "platform/qt/QtSettingsStore.h"
#include "common/Settings.h"
#include "watchlist/WatchListStore.h"
#include "BlockList.h"

namespace {

using namespace tamberlyn;
using Clock = std::chrono::steady_clock;

void Store(long count) {
    QtSettingsStore store;
    store.write(kApplicationName, kSectionName, kKeyListview, JoinWatchList(BlockListFragments(count)));
}

template <class Widget>
Widget& Find(QtProgram& program, const char* name) {
    auto* found = program.window().findChild<Widget*>(QString::fromLatin1(name));
    if (found == nullptr) throw std::runtime_error(std::string("no widget ") + name);
    return *found;
}

// Until the window is on the screen and what it shows is painted.
void Shown(QtProgram& program) {
    if (!QTest::qWaitForWindowExposed(&program.window(), 20000)) throw std::runtime_error("the window did not show");
    program.window().repaint();
    QApplication::processEvents();
}

void Settle() {
    QApplication::sendPostedEvents();
    QApplication::processEvents();
}

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// A started program with N fragments, kept for the commands' benchmarks of that N.
struct Running {
    explicit Running(long count) {
        Store(count);
        program = std::make_unique<QtProgram>([] {});
        program->start();
        Shown(*program);
    }
    std::unique_ptr<QtProgram> program;
};

std::unique_ptr<Running> running;
long runningCount = 0;

QtProgram& ProgramWith(long count) {
    if (!running || runningCount != count) {
        running.reset();
        running = std::make_unique<Running>(count);
        runningCount = count;
    }
    return *running->program;
}

void StartAndShow(benchmark::State& state, bool show) {
    running.reset();
    Store(state.range(0));
    for (auto _ : state) {
        const Clock::time_point begin = Clock::now();
        auto program = std::make_unique<QtProgram>([] {});
        program->start();
        const Clock::time_point started = Clock::now();
        Shown(*program);
        const Clock::time_point shown = Clock::now();
        state.SetIterationTime(Seconds(show ? shown - started : started - begin));
        if (program->form().ListView1.count() != state.range(0)) state.SkipWithError("not every fragment loaded");
        program.reset();
        Settle();
    }
}

void Start(benchmark::State& state) { StartAndShow(state, false); }
void Show(benchmark::State& state) { StartAndShow(state, true); }

void Add(benchmark::State& state) {
    QtProgram& program = ProgramWith(state.range(0));
    auto& text = Find<QLineEdit>(program, "Text1");
    auto& button = Find<QPushButton>(program, "PushButton1");
    for (auto _ : state) {
        const Clock::time_point begin = Clock::now();
        text.setText(QStringLiteral("Another special offer"));
        program.form().Text1.setText("Another special offer");
        QTest::mouseClick(&button, Qt::LeftButton);
        program.window().repaint();
        state.SetIterationTime(Seconds(Clock::now() - begin));
    }
}

// Delete on the selected row in the middle; a row is put back, unmeasured.
void DeleteOrDoubleClick(benchmark::State& state, bool doubleClick) {
    QtProgram& program = ProgramWith(state.range(0));
    auto& list = Find<QTreeWidget>(program, "ListView1");
    for (auto _ : state) {
        const int middle = list.topLevelItemCount() / 2;
        list.scrollToItem(list.topLevelItem(middle));
        Settle();
        const QPoint at = list.visualItemRect(list.topLevelItem(middle)).center();
        const int before = program.form().ListView1.count();
        const Clock::time_point begin = Clock::now();
        if (doubleClick) {
            QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
        } else {
            QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
            QTest::keyClick(&list, Qt::Key_Delete);
        }
        program.window().repaint();
        state.SetIterationTime(Seconds(Clock::now() - begin));
        if (program.form().ListView1.count() != before - 1) state.SkipWithError("no row was removed");
        program.form().ListView1.add("Put back");
        Settle();
    }
}

void Delete(benchmark::State& state) { DeleteOrDoubleClick(state, false); }
void DoubleClick(benchmark::State& state) { DeleteOrDoubleClick(state, true); }

void Save(benchmark::State& state) {
    QtProgram& program = ProgramWith(state.range(0));
    QtSettingsStore store;
    for (auto _ : state) {
        const Clock::time_point begin = Clock::now();
        SaveWatchList(store, program.form().ListView1.watchList());
        state.SetIterationTime(Seconds(Clock::now() - begin));
    }
}

// The list emptied in one go (what "Clear List" does once it is answered Yes), then refilled.
void Clear(benchmark::State& state) {
    QtProgram& program = ProgramWith(state.range(0));
    const std::vector<std::string> fragments = BlockListFragments(state.range(0));
    for (auto _ : state) {
        const Clock::time_point begin = Clock::now();
        program.form().ListView1.clear();
        program.window().repaint();
        state.SetIterationTime(Seconds(Clock::now() - begin));
        program.form().ListView1.addRows(fragments);
        Settle();
    }
}

#define TAMBERLYN_QT_ARGS Arg(1000)->Arg(10000)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond)
BENCHMARK(Start)->TAMBERLYN_QT_ARGS->Iterations(3);
BENCHMARK(Show)->TAMBERLYN_QT_ARGS->Iterations(3);
BENCHMARK(Add)->TAMBERLYN_QT_ARGS->Iterations(20);
BENCHMARK(Delete)->TAMBERLYN_QT_ARGS->Iterations(20);
BENCHMARK(DoubleClick)->TAMBERLYN_QT_ARGS->Iterations(20);
BENCHMARK(Save)->TAMBERLYN_QT_ARGS->Iterations(20);
BENCHMARK(Clear)->TAMBERLYN_QT_ARGS->Iterations(3);

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "xcb");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    running.reset();
    benchmark::Shutdown();
    return 0;
}
