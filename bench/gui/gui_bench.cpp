// How long the user waits: choosing a game in the list until its text is on
// screen, and one keystroke in the search box, on a 20,000-game database.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

#include "browser/TCoolMemo.h"
#include "browser/game_browser.h"
#include "database_writer.h"
#include "window/TFormMain.h"

namespace {

constexpr int kGames = 20000;

// One window over one synthetic database for the whole run.
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

Fixture& TheFixture() {
    static Fixture fixture;
    return fixture;
}

void BM_ChooseGameInList(benchmark::State& state) {
    auto& form = *TheFixture().form;
    int k = 0;
    for (auto _ : state) {
        k = (k + 7919) % kGames;
        // The user's selection raises the list's click, which views the game.
        form.CLB_Games->setCurrentRow(k);
        form.CoolMemo1->viewport()->repaint();
    }
    if (form.CLB_Games->count() != kGames) state.SkipWithError("database did not load");
}
BENCHMARK(BM_ChooseGameInList)->Unit(benchmark::kMillisecond);

void BM_SearchKeystrokeScanningWholeList(benchmark::State& state) {
    auto& form = *TheFixture().form;
    for (auto _ : state) {
        // No title begins with '#': the keystroke compares against all of them.
        form.Edit1->setText(QStringLiteral("#"));
        state.PauseTiming();
        form.Edit1->clear();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SearchKeystrokeScanningWholeList)->Unit(benchmark::kMillisecond);

void BM_SearchKeystrokeSelectingGame(benchmark::State& state) {
    auto& form = *TheFixture().form;
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
BENCHMARK(BM_SearchKeystrokeSelectingGame)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
