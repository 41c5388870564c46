// How long the user waits: choosing a game in the list until its text is on
// screen, and one keystroke in the search box, on a 20,000-game database.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>
#include <utility>

#include "browser/TCoolMemo.h"
#include "browser/game_browser.h"
#include "database_writer.h"
#include "window/TFormMain.h"

namespace {

constexpr int kGames = 20000;

// One window over one synthetic database for the whole run. It must be gone
// before the application object is: a widget destroyed after it (say, by an
// exit handler) crashes in QWidget's destructor.
struct Fixture {
    QTemporaryDir dir;
    std::unique_ptr<hk::window::TFormMain> form;

    Fixture() {
        const std::string path = dir.filePath("hintkeeper.dat").toStdString();
        std::FILE* f = std::fopen(path.c_str(), "wb");
        hk::pack::FileSink sink(f);
        hk::pack::WriteSyntheticDatabase(kGames, sink, {});
        std::fclose(f);
        form = std::make_unique<hk::window::TFormMain>(dir.path().toStdString() + "/");
        form->ShowErrorBox = [](const QString& m) {
            std::fprintf(stderr, "database error: %s\n", m.toUtf8().constData());
        };
        form->show();
        form->FormActivate();
        QApplication::processEvents();
    }
};

void BM_ChooseGameInList(benchmark::State& state, Fixture& fixture) {
    auto& form = *fixture.form;
    int k = 0;
    for (auto _ : state) {
        k = (k + 7919) % kGames;
        // The user's selection raises the list's click, which views the game.
        form.CLB_Games->setCurrentRow(k);
        form.CoolMemo1->viewport()->repaint();
    }
    if (form.CLB_Games->count() != kGames) state.SkipWithError("database did not load");
}

void BM_SearchKeystrokeScanningWholeList(benchmark::State& state, Fixture& fixture) {
    auto& form = *fixture.form;
    for (auto _ : state) {
        // No title begins with '#': the keystroke compares against all of them.
        form.Edit1->setText(QStringLiteral("#"));
        state.PauseTiming();
        form.Edit1->clear();
        state.ResumeTiming();
    }
}

void BM_SearchKeystrokeSelectingGame(benchmark::State& state, Fixture& fixture) {
    auto& form = *fixture.form;
    const QString last = form.CLB_Games->item(kGames - 1)->text();
    for (auto _ : state) {
        state.PauseTiming();
        form.Edit1->clear();
        form.Browser().Search().Reset(0, 0);
        form.Edit1->setText(last.left(1));
        state.ResumeTiming();
        // The second letter of a late title: scan, select and view it.
        form.Edit1->setText(last.left(2));
        form.CoolMemo1->viewport()->repaint();
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    // Declared after the application, so destroyed before it; made on first use,
    // so listing or filtering the benchmarks does not build the database.
    std::unique_ptr<Fixture> fixture;
    auto shared = [&fixture]() -> Fixture& {
        if (!fixture) fixture = std::make_unique<Fixture>();
        return *fixture;
    };
    using Body = void (*)(benchmark::State&, Fixture&);
    const std::pair<const char*, Body> benchmarks[] = {
        {"BM_ChooseGameInList", BM_ChooseGameInList},
        {"BM_SearchKeystrokeScanningWholeList", BM_SearchKeystrokeScanningWholeList},
        {"BM_SearchKeystrokeSelectingGame", BM_SearchKeystrokeSelectingGame},
    };
    for (const auto& [name, body] : benchmarks) {
        benchmark::RegisterBenchmark(name, [&shared, body](benchmark::State& state) {
            body(state, shared());
        })->Unit(benchmark::kMillisecond);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
