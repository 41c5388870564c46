#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>

#include "gif_writer.h"
#include "skin/TCoolPanel.h"
#include "skin/TRxGIFAnimator.h"

using namespace hk::skin;
using hk::testing::makeGif;
using hk::testing::solid;
using hk::testing::TestFrame;

namespace {

const QRgb kRed = qRgb(255, 0, 0), kGreen = qRgb(0, 255, 0), kBlue = qRgb(0, 0, 255);
const std::vector<QRgb> kPalette = {qRgb(0, 0, 0), kRed, kGreen, kBlue};

// A banner on a parent, as the banner slot holds them.
struct Rig {
    QWidget parent;
    TRxGIFAnimator* gif = new TRxGIFAnimator(&parent);
    std::vector<std::string> events;
    Rig() {
        gif->OnStart = [this](QObject*) { events.push_back("start"); };
        gif->OnStop = [this](QObject*) { events.push_back("stop"); };
        gif->OnFrameChanged = [this](QObject*) {
            events.push_back("frame" + std::to_string(gif->FrameIndex()));
        };
    }
    void load(QSize screen, const std::vector<TestFrame>& frames) {
        std::string error;
        ASSERT_TRUE(gif->loadImage(makeGif(screen, kPalette, frames), error)) << error;
    }
    void loadDelays(std::initializer_list<int> delays) {
        const QRect r(0, 0, 4, 4);
        std::vector<TestFrame> frames;
        for (int d : delays) frames.emplace_back(r, solid(r, 1), d);
        load({4, 4}, frames);
    }
};

}  // namespace

TEST(GifAnimator, DelaysAreClampedBetween50msAnd10s) {
    Rig r;
    r.loadDelays({0, 20, 4, 5, 2000});
    EXPECT_EQ(r.gif->frameDelay(0), 50);
    EXPECT_EQ(r.gif->frameDelay(1), 200);
    EXPECT_EQ(r.gif->frameDelay(2), 50);
    EXPECT_EQ(r.gif->frameDelay(3), 50);
    EXPECT_EQ(r.gif->frameDelay(4), 10000);
    EXPECT_EQ(r.gif->frameDelay(5), 0);
    EXPECT_EQ(r.gif->size(), QSize(4, 4));  // AutoSize takes the logical screen
}

TEST(GifAnimator, EachFrameWaitsItsOwnDelay) {
    Rig r;
    r.loadDelays({0, 20});
    r.gif->setAnimate(true);
    EXPECT_TRUE(r.gif->ticking());
    EXPECT_EQ(r.gif->timerInterval(), 50);
    r.gif->tick();
    EXPECT_EQ(r.gif->FrameIndex(), 1);
    EXPECT_EQ(r.gif->timerInterval(), 200);
    r.gif->tick();
    EXPECT_EQ(r.gif->FrameIndex(), 0);
    EXPECT_EQ(r.gif->timerInterval(), 50);
    EXPECT_EQ(r.events, (std::vector<std::string>{"start", "frame1", "frame0"}));
}

TEST(GifAnimator, TheTimerDeliversTicksOnTheInterfaceThread) {
    Rig r;
    r.loadDelays({0, 0});
    r.parent.show();
    r.gif->setAnimate(true);
    const QDeadlineTimer deadline(5000);
    while (r.gif->FrameIndex() == 0 && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    EXPECT_EQ(r.gif->FrameIndex(), 1);
}

TEST(GifAnimator, OneFrameNeverTicks) {
    Rig r;
    r.loadDelays({20});
    r.gif->setAnimate(true);
    EXPECT_TRUE(r.gif->Animate());
    EXPECT_FALSE(r.gif->ticking());
    EXPECT_EQ(r.gif->timerInterval(), 0);
    r.gif->tick();
    EXPECT_EQ(r.gif->FrameIndex(), 0);
    EXPECT_EQ(r.events, (std::vector<std::string>{"start"}));
}

TEST(GifAnimator, WithoutLoopStopsAfterReturningToTheFirstFrame) {
    Rig r;
    r.loadDelays({10, 10, 10});
    r.gif->setLoop(false);
    r.gif->setAnimate(true);
    for (int i = 0; i < 3; ++i) r.gif->tick();
    EXPECT_EQ(r.events, (std::vector<std::string>{"start", "frame1", "frame2", "frame0", "stop"}));
    EXPECT_FALSE(r.gif->Animate());
    EXPECT_FALSE(r.gif->ticking());
}

TEST(GifAnimator, StoppingAndHidingNeverRewind) {
    Rig r;
    r.loadDelays({10, 30, 10});
    r.gif->setAnimate(true);
    r.gif->tick();
    r.gif->setAnimate(false);
    EXPECT_EQ(r.gif->FrameIndex(), 1);
    r.gif->setAnimate(true);
    EXPECT_EQ(r.gif->FrameIndex(), 1);
    EXPECT_EQ(r.gif->timerInterval(), 300);

    r.gif->hide();  // keeps its frame and its timer
    r.gif->tick();
    EXPECT_EQ(r.gif->FrameIndex(), 1);
    EXPECT_TRUE(r.gif->ticking());
    r.gif->show();
    r.gif->tick();
    EXPECT_EQ(r.gif->FrameIndex(), 2);
}

TEST(GifAnimator, FrameIndexOutsideTheFramesIsIgnored) {
    Rig r;
    r.loadDelays({10, 30, 10});
    r.gif->setFrameIndex(3);
    r.gif->setFrameIndex(-1);
    EXPECT_EQ(r.gif->FrameIndex(), 0);
    r.gif->setFrameIndex(1);
    EXPECT_EQ(r.gif->FrameIndex(), 1);
    EXPECT_EQ(r.gif->timerInterval(), 300);
    EXPECT_EQ(r.events, (std::vector<std::string>{"frame1"}));
}

TEST(GifAnimator, RestoreToBackgroundClearsTheFramesRectangle) {
    Rig r;
    const QRect full(0, 0, 4, 4), small(1, 1, 2, 2);
    r.load({4, 4}, {TestFrame(full, solid(full, 1), 10, 2), TestFrame(small, solid(small, 3), 10)});
    const QRgb window = hk::toolkit::toQColor(hk::toolkit::clWindow, r.gif->palette()).rgb();
    // Fresh composition and step-by-step composition agree.
    for (bool stepwise : {false, true}) {
        Rig s;
        s.load({4, 4},
               {TestFrame(full, solid(full, 1), 10, 2), TestFrame(small, solid(small, 3), 10)});
        if (stepwise) {
            EXPECT_EQ(s.gif->composeFrame(0).pixel(0, 0), kRed);
        }
        const QImage img = s.gif->composeFrame(1);
        EXPECT_EQ(img.pixel(0, 0), window) << stepwise;
        EXPECT_EQ(img.pixel(1, 1), kBlue) << stepwise;
        EXPECT_EQ(img.pixel(3, 3), window) << stepwise;
    }
}

TEST(GifAnimator, RestoreToPreviousDropsTheFrameAndLeaveInPlaceKeepsIt) {
    const QRect full(0, 0, 4, 4), corner(0, 0, 2, 2), other(2, 2, 2, 2);
    for (bool stepwise : {false, true}) {
        Rig r;
        r.load({4, 4},
               {TestFrame(full, solid(full, 1), 10, 1), TestFrame(corner, solid(corner, 2), 10, 3),
                TestFrame(other, solid(other, 3), 10, 1)});
        if (stepwise) {
            r.gif->composeFrame(0);
            EXPECT_EQ(r.gif->composeFrame(1).pixel(0, 0), kGreen);
        }
        const QImage img = r.gif->composeFrame(2);
        EXPECT_EQ(img.pixel(0, 0), kRed) << stepwise;
        EXPECT_EQ(img.pixel(3, 3), kBlue) << stepwise;
    }
    Rig keep;
    keep.load({4, 4},
              {TestFrame(full, solid(full, 1), 10, 1), TestFrame(corner, solid(corner, 2), 10, 1),
               TestFrame(other, solid(other, 3), 10, 1)});
    const QImage img = keep.gif->composeFrame(2);
    EXPECT_EQ(img.pixel(0, 0), kGreen);
    EXPECT_EQ(img.pixel(3, 3), kBlue);
    EXPECT_EQ(img.pixel(3, 0), kRed);
}

TEST(GifAnimator, TransparentPixelsShowTheFramesBeneath) {
    Rig r;
    const QRect full(0, 0, 4, 4);
    std::vector<std::uint8_t> holes = solid(full, 3);
    holes[0] = 0;  // index 0 is this frame's transparent colour
    r.load({4, 4}, {TestFrame(full, solid(full, 1), 10, 1), TestFrame(full, holes, 10, 1, 0)});
    const QImage img = r.gif->composeFrame(1);
    EXPECT_EQ(img.pixel(0, 0), kRed);
    EXPECT_EQ(img.pixel(1, 0), kBlue);

    // Painting an opaque banner shows the composed frame.
    r.gif->setTransparent(false);
    r.gif->setFrameIndex(1);
    const QImage shot = r.gif->grab().toImage();
    EXPECT_EQ(shot.pixel(0, 0), kRed);
    EXPECT_EQ(shot.pixel(3, 3), kBlue);
}

// An opaque frame of a picture that is transparent elsewhere starts from the
// picture's transparent colour, not the window colour.
TEST(GifAnimator, OpaqueFrameOfATransparentPictureStartsFromItsTransparentColour) {
    Rig r;
    const QRect middle(1, 1, 2, 2), corner(0, 0, 1, 1);
    r.load({4, 4}, {TestFrame(middle, solid(middle, 1), 10, 1, 2),
                    TestFrame(corner, solid(corner, 3), 10, 1)});
    const QImage img = r.gif->composeFrame(1);
    EXPECT_EQ(img.pixel(3, 3), kGreen);
    EXPECT_EQ(img.pixel(1, 1), kRed);
    EXPECT_EQ(img.pixel(0, 0), kBlue);
}

TEST(GifAnimator, NewBannerTakesItsPanelsColourUntilGivenOne) {
    TCoolPanel panel;
    panel.setColor(hk::toolkit::clBlack);
    auto* gif = new TRxGIFAnimator(&panel);
    EXPECT_EQ(gif->size(), QSize(105, 105));
    EXPECT_EQ(gif->Color(), hk::toolkit::clBlack);
    EXPECT_TRUE(gif->Loop());
    EXPECT_TRUE(gif->Transparent());
    EXPECT_FALSE(gif->Animate());
    gif->setColor(hk::toolkit::clRed);
    panel.setColor(hk::toolkit::clWhite);
    EXPECT_EQ(gif->Color(), hk::toolkit::clRed);
}
