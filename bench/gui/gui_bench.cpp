// How long the user waits: choosing a game in the list until its text is on
// screen, and one keystroke in the search box, on a 20,000-game database; and
// choosing a game whose text is huge (one megabyte in one line, in short
// words, or a mebi of empty lines) until the window is idle again.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>

#include "browser/TCoolMemo.h"
#include "browser/game_browser.h"
#include "database_writer.h"
#include "window/TFormMain.h"

namespace {

constexpr int kGames = 20000;

// The main window over the database in `dir`, shown and activated.
std::unique_ptr<hk::window::TFormMain> OpenWindow(const QTemporaryDir& dir) {
    auto form = std::make_unique<hk::window::TFormMain>(dir.path().toStdString() + "/");
    form->ShowErrorBox = [](const QString& m) {
        std::fprintf(stderr, "database error: %s\n", m.toUtf8().constData());
    };
    form->show();
    form->FormActivate();
    QApplication::processEvents();
    return form;
}

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
        form = OpenWindow(dir);
    }
};

// Three huge texts, each as a proportional and as a fixed-pitch game, behind
// a small first game that the benchmark returns to between choices.
struct HugeTexts {
    QTemporaryDir dir;
    std::unique_ptr<hk::window::TFormMain> form;

    static constexpr size_t kMegabyte = size_t{1} << 20;

    HugeTexts() {
        const std::string oneLine(kMegabyte, 'X');
        std::string words;
        words.reserve(kMegabyte);
        for (int i = 0; words.size() < kMegabyte; ++i) words += i % 7 ? "abc " : "IDKFA ";
        const std::string emptyLines(kMegabyte, '\n');
        hk::pack::DatabaseSources sources;
        auto add = [&sources](const std::string& title, const std::string& mode,
                              const std::string& text) {
            const std::string member = "g" + std::to_string(sources.games.size()) + ".txt";
            sources.games.push_back({member, mode, title});
            sources.texts.emplace_back(member, text);
        };
        add("Small", "0", "IDDQD\r\n");
        for (const char* mode : {"0", "1"}) {
            add(std::string("One line ") + mode, mode, oneLine);
            add(std::string("Words ") + mode, mode, words);
            add(std::string("Empty lines ") + mode, mode, emptyLines);
        }
        const std::string path = dir.filePath("hintkeeper.dat").toStdString();
        std::FILE* f = std::fopen(path.c_str(), "wb");
        hk::pack::FileSink sink(f);
        hk::pack::WriteDatabase(sources, sink, {});
        std::fclose(f);
        form = OpenWindow(dir);
    }
};

// Chooses game `row` as the user would, draws the view and lets every event
// it caused run: the time until the window answers again.
void ChooseUntilIdle(hk::window::TFormMain& form, int row) {
    form.CLB_Games->setCurrentRow(row);
    form.CoolMemo1->viewport()->repaint();
    QApplication::processEvents();
}

// Rows 1, 2, 3 are the proportional games, 4, 5, 6 the fixed-pitch ones.
void BM_ChooseHugeText(benchmark::State& state, HugeTexts& texts) {
    auto& form = *texts.form;
    const int row = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        ChooseUntilIdle(form, 0);
        state.ResumeTiming();
        ChooseUntilIdle(form, row);
    }
    if (form.CoolMemo1->Lines().size() < 1) state.SkipWithError("nothing shown");
    state.SetLabel(form.CLB_Games->item(row)->text().toStdString());
}

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
    std::unique_ptr<HugeTexts> huge;
    benchmark::RegisterBenchmark("BM_ChooseHugeText",
                                 [&huge](benchmark::State& state) {
                                     if (!huge) huge = std::make_unique<HugeTexts>();
                                     BM_ChooseHugeText(state, *huge);
                                 })
        ->DenseRange(1, 6)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
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
