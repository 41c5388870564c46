// Pictures and pages that are not what they claim: the splash bitmap beside
// the program, GIF banners and JPEG pictures fed damaged or oversized data,
// and a web banner page that is junk, huge or never ends. Each is refused or
// shown within bounds; none crashes, hangs or allocates without limit.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QImageWriter>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>
#include <memory>

#include "hostile_zip.h"
#include "skin/TRxGIFAnimator.h"
#include "skin/TabcSplash.h"
#include "toolkit/gif_decoder.h"
#include "toolkit/jpeg_decoder.h"
#include "toolkit/web_browser.h"

namespace hk::hardening {
namespace {

// --- GIF -----------------------------------------------------------------------------

int WriteToVector(GifFileType* gif, const GifByteType* data, int size) {
    auto* out = static_cast<std::vector<unsigned char>*>(gif->UserData);
    out->insert(out->end(), data, data + size);
    return size;
}

// A GIF89a of `frames` copies of one solid frame covering the whole screen.
// The frame is encoded once and its bytes repeated, so even thousands of
// full-screen frames take a moment to make.
std::vector<unsigned char> SolidGif(int side, int frames) {
    std::vector<unsigned char> one;
    int error = 0;
    GifFileType* gif = EGifOpen(&one, WriteToVector, &error);
    EGifSetGifVersion(gif, true);
    GifColorType colours[2] = {{0, 0, 0}, {255, 255, 255}};
    ColorMapObject* map = GifMakeMapObject(2, colours);
    EGifPutScreenDesc(gif, side, side, 1, 0, map);
    const size_t header = one.size();
    EGifPutImageDesc(gif, 0, 0, side, side, false, nullptr);
    std::vector<GifPixelType> row(static_cast<size_t>(side), 1);
    for (int y = 0; y < side; ++y) EGifPutLine(gif, row.data(), side);
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    // header | frame | trailer (0x3B)
    const std::vector<unsigned char> frame(one.begin() + static_cast<long>(header), one.end() - 1);
    std::vector<unsigned char> out(one.begin(), one.begin() + static_cast<long>(header));
    for (int i = 0; i < frames; ++i) out.insert(out.end(), frame.begin(), frame.end());
    out.push_back(0x3B);
    return out;
}

TEST(HostileGif, BannersWithoutFramesOrWithTooManyPixelsStayBounded) {
    // No frames at all: an empty banner that never ticks and paints its colour.
    QWidget parent;
    parent.resize(500, 100);
    auto* banner = new hk::skin::TRxGIFAnimator(&parent);
    std::string error;
    ASSERT_TRUE(banner->loadImage(SolidGif(16, 0), error)) << error;
    EXPECT_EQ(banner->FrameCount(), 0);
    banner->setAnimate(true);
    parent.show();
    banner->tick();
    EXPECT_EQ(banner->FrameIndex(), 0);
    EXPECT_FALSE(banner->ticking());
    EXPECT_FALSE(banner->grab().isNull());
    EXPECT_TRUE(banner->composeFrame(0).isNull() || banner->composeFrame(0).width() <= 16);

    // A 60000 x 60000 screen is refused and leaves the banner as it was.
    ASSERT_TRUE(banner->loadImage(SolidGif(8, 2), error)) << error;
    std::vector<unsigned char> huge = SolidGif(8, 1);
    huge[6] = huge[8] = 0x60, huge[7] = huge[9] = 0xEA;  // 60000 = 0xEA60
    EXPECT_FALSE(banner->loadImage(huge, error));
    EXPECT_EQ(banner->FrameCount(), 2);
    EXPECT_EQ(banner->Image().screen, QSize(8, 8));

    // Each frame within the screen limit, but far too many of them: a few
    // megabytes of file that would decode into gigabytes.
    const std::vector<unsigned char> many = SolidGif(hk::toolkit::kMaxGifScreenSide, 80);
    ASSERT_LT(many.size(), size_t{16} << 20);
    hk::toolkit::GifPicture picture;
    EXPECT_FALSE(hk::toolkit::decodeGif(many, picture, error));
    EXPECT_TRUE(picture.empty());

    // Cut anywhere, a banner is refused or shown; never more.
    const std::vector<unsigned char> small = SolidGif(32, 3);
    for (size_t cut = 0; cut < small.size(); cut += 3) {
        const std::vector<unsigned char> part(small.begin(),
                                              small.begin() + static_cast<long>(cut));
        if (hk::toolkit::decodeGif(part, picture, error)) {
            EXPECT_LE(picture.frames.size(), 3u);
        }
    }
}

// --- JPEG ----------------------------------------------------------------------------

std::vector<unsigned char> Jpeg(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.setPixel(x, y, qRgb(x * 7, y * 5, (x ^ y) & 255));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "JPEG");
    writer.setQuality(90);
    if (!writer.write(img)) return {};
    return {bytes.begin(), bytes.end()};
}

TEST(HostileJpeg, CutDamagedOrGiantPicturesFailWithAReason) {
    const std::vector<unsigned char> good = Jpeg(120, 80);
    if (good.empty()) GTEST_SKIP() << "Qt has no JPEG writer here";
    QImage image;
    std::string error;
    ASSERT_TRUE(hk::toolkit::decodeJpeg(good, image, error)) << error;

    // Every cut: a failure with a reason, or a picture of the declared size.
    for (size_t cut = 0; cut < good.size(); cut += 7) {
        const std::vector<unsigned char> part(good.begin(), good.begin() + static_cast<long>(cut));
        if (hk::toolkit::decodeJpeg(part, image, error)) {
            EXPECT_EQ(image.size(), QSize(120, 80)) << cut;
        } else {
            EXPECT_FALSE(error.empty()) << cut;
        }
    }
    // A frame header claiming 65000 x 65000 must not allocate 12 GB.
    std::vector<unsigned char> giant = good;
    for (size_t i = 0; i + 8 < giant.size(); ++i) {
        if (giant[i] == 0xFF && (giant[i + 1] == 0xC0 || giant[i + 1] == 0xC2)) {
            giant[i + 5] = giant[i + 7] = 0xFD;
            giant[i + 6] = giant[i + 8] = 0xE8;
            break;
        }
    }
    EXPECT_FALSE(hk::toolkit::decodeJpeg(giant, image, error));
    EXPECT_TRUE(image.isNull());
    EXPECT_TRUE(hk::toolkit::decodeJpeg(good, image, error)) << error;
}

// --- Splash bitmap -------------------------------------------------------------------

TEST(HostileSplashBitmap, AnythingButABitmapKeepsTheBuiltInPicture) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const fs::path bmp = fs::path(dir.path().toStdString()) / "hintkeeper.bmp";
    std::vector<uint8_t> header = {'B', 'M'};
    put32(header, 54 + 3 * 4);
    put32(header, 0);
    put32(header, 54);
    put32(header, 40);
    put32(header, 60000);
    put32(header, 60000);
    put16(header, 1);
    put16(header, 24);
    for (int i = 0; i < 6; ++i) put32(header, 0);
    std::vector<uint8_t> rle = header;  // RLE8 that claims a 60000-pixel square
    rle[28] = 8;
    rle[30] = 1;
    const std::pair<const char*, std::vector<uint8_t>> cases[] = {
        {"jpeg bytes", Jpeg(16, 16)},
        {"huge dimensions", header},
        {"huge run-length picture", rle},
        {"only the magic", {'B', 'M'}},
    };
    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        WriteBytes(bmp, bytes);
        hk::skin::TabcSplash splash;
        QImage built(320, 200, QImage::Format_RGB32);
        built.fill(Qt::darkBlue);
        splash.Picture = built;
        splash.BevelWidth = 1;
        splash.setScreenSize({1024, 768});
        splash.setExecutablePath(dir.filePath("hintkeeper"));
        EXPECT_NO_THROW(splash.Show());
        ASSERT_NE(splash.window(), nullptr);
        EXPECT_EQ(splash.window()->size(), QSize(322, 202));
        splash.Hide();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// --- Web banner page ------------------------------------------------------------------

// Answers every request with a page that never ends: it sends a chunk of junk
// whenever the socket has drained, without a length and without an end.
class EndlessServer : public QObject {
  public:
    EndlessServer() {
        server_.listen(QHostAddress::LocalHost, 0);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server_.nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    if (!s->readAll().contains("\r\n\r\n") || s->property("busy").toBool()) return;
                    s->setProperty("busy", true);
                    s->write(
                        "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n"
                        "Transfer-Encoding: chunked\r\n\r\n");
                    Feed(s);
                    connect(s, &QTcpSocket::bytesWritten, s, [this, s] {
                        if (s->bytesToWrite() == 0) Feed(s);
                    });
                });
                connect(s, &QTcpSocket::disconnected, s, [this, s] {
                    ++dropped;
                    s->deleteLater();
                });
            }
        });
    }
    QString Url() const {
        return QStringLiteral("http://127.0.0.1:%1/banner").arg(server_.serverPort());
    }
    qint64 sent = 0;
    int dropped = 0;  // connections the client has closed

  private:
    void Feed(QTcpSocket* s) {
        QByteArray junk(16384, '\0');
        for (int i = 0; i < junk.size(); ++i) junk[i] = static_cast<char>((i * 131 + sent) & 0xFF);
        s->write(QByteArray::number(junk.size(), 16) + "\r\n" + junk + "\r\n");
        sent += junk.size();
    }
    QTcpServer server_;
};

TEST(HostileWebPage, NeverEndingPageIsCutAndReportedOnce) {
    EndlessServer server;
    hk::toolkit::WebBrowser browser;
    QSignalSpy done(&browser, &hk::toolkit::WebBrowser::NavigateComplete2);
    browser.Navigate(server.Url());
    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, 60000);
    EXPECT_EQ(done.at(0).at(0).toString(), hk::toolkit::WebBrowser::ErrorPageAddress(server.Url()));
    EXPECT_FALSE(browser.Busy());
    // The browser hangs up, and by then it has let the server push little more than
    // the page limit: the rest is what the two sockets' kernel buffers can hold.
    QTRY_COMPARE_WITH_TIMEOUT(server.dropped, 1, 60000);
    EXPECT_LE(server.sent, qint64{16} << 20);
    EXPECT_EQ(done.count(), 1);
}

TEST(HostileWebPage, JunkPagesAreShownAsText) {
    // Binary junk, zero bytes, broken UTF-8 and markup that never closes.
    QByteArray junk;
    for (int i = 0; i < 60000; ++i) junk += static_cast<char>((i * 37) & 0xFF);
    junk += QByteArray(5000, '<') + "<table><tr><td>" + QByteArray(3000, '\0');
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        QTcpSocket* s = server.nextPendingConnection();
        QObject::connect(s, &QTcpSocket::readyRead, s, [s, junk] {
            if (!s->readAll().contains("\r\n\r\n")) return;
            s->write(
                "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=x-unknown\r\n"
                "Content-Length: " +
                QByteArray::number(junk.size()) + "\r\n\r\n" + junk);
            s->disconnectFromHost();
        });
    });
    const QString url = QStringLiteral("http://127.0.0.1:%1/junk").arg(server.serverPort());
    hk::toolkit::WebBrowser browser;
    QSignalSpy done(&browser, &hk::toolkit::WebBrowser::NavigateComplete2);
    browser.Navigate(url);
    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, 60000);
    EXPECT_FALSE(browser.Busy());
    EXPECT_LE(browser.PageText().size(), junk.size());
}

}  // namespace
}  // namespace hk::hardening
