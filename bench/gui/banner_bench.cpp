// How long a banner page holds the user-interface thread: reading a 1 MiB page
// down to the banner's budget, and laying out and drawing the costliest page
// the budget lets through.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTextBrowser>
#include <QUrl>

#include "toolkit/banner_page.h"

namespace {

const QUrl kBase(QStringLiteral("http://vendor.example/hintkeeperbanner.html"));

// 1 MiB that the reader must walk to its end: /0 a comment, /1 tags it drops.
QString MegabytePage(int kind) {
    const QString unit = kind == 0 ? QStringLiteral("x") : QStringLiteral("<x a=1 b='2'>");
    QString page =
        kind == 0 ? QStringLiteral("<p>banner</p><!--") : QStringLiteral("<p>banner</p>");
    page += unit.repeated((1 << 20) / unit.size());
    return page + (kind == 0 ? QStringLiteral("-->") : QString());
}

void BM_FitMegabytePage(benchmark::State& state) {
    const QString page = MegabytePage(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const auto fitted = hk::toolkit::fitPageToBanner(page, kBase);
        benchmark::DoNotOptimize(fitted.html.size());
    }
}

// A grid of spanning cells, every size at its largest: the slowest page to lay
// out that is not refused.
void BM_LayOutCostliestBannerPage(benchmark::State& state) {
    QString grid = QStringLiteral("<table border=99 cellpadding=99 cellspacing=99 width=999>");
    for (int row = 0; row < 12; ++row)
        grid += QStringLiteral("<tr>") +
                QStringLiteral("<td colspan=9 rowspan=9 width=999 height=999>x").repeated(10);
    const auto fitted = hk::toolkit::fitPageToBanner(grid + QStringLiteral("</table>"), kBase);
    if (!fitted.refusal.isEmpty()) state.SkipWithError("the page is refused");
    QTextBrowser view;
    view.resize(505, 89);
    for (auto _ : state) {
        view.setHtml(fitted.html);
        benchmark::DoNotOptimize(view.grab());
    }
}

}  // namespace

BENCHMARK(BM_FitMegabytePage)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LayOutCostliestBannerPage)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
