#include "skin/TabcSplash.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QScreen>
#include <QTimer>
#include <algorithm>

#include "skin/density.h"

namespace hk::skin {

using toolkit::toQColor;

// --- TabcFormFactory ------------------------------------------------------------------

namespace {
// Forms are known by their class name without the C++ namespace.
std::string className(const QMetaObject& meta) {
    const std::string full = meta.className();
    const std::size_t colon = full.rfind("::");
    return colon == std::string::npos ? full : full.substr(colon + 2);
}
}  // namespace

void TabcFormFactory::RegisterAs(const QMetaObject& base, const QMetaObject& derived,
                                 Creator create) {
    if (!derived.inherits(&base)) {
        throw std::invalid_argument("Form Factory error: " + className(derived) +
                                    " does not inherit from " + className(base));
    }
    classes_[className(base)] = std::move(create);
}

QWidget* TabcFormFactory::Create(const QMetaObject& base, QObject* owner) const {
    auto it = classes_.find(className(base));
    return it == classes_.end() ? nullptr : it->second(owner);
}

bool TabcFormFactory::contains(const QMetaObject& base) const {
    return classes_.count(className(base)) != 0;
}

// --- TabcsfSplash ---------------------------------------------------------------------

TabcsfSplash::TabcsfSplash(QWidget* parent)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint), tmrClose_(new QTimer(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    resize(581, 401);
    tmrClose_->setInterval(100);
    connect(tmrClose_, &QTimer::timeout, this, [this] { close(); });
}

void TabcsfSplash::setPicture(const QImage& picture, const QImage& doubled) {
    picture_ = picture.copy();
    picture2x_ = markedDoubled(doubled);
    update();
}

void TabcsfSplash::setBevelWidth(int width) {
    bevelWidth_ = std::max(0, width);
    update();
}

QRect TabcsfSplash::pictureRect() const {
    const int inset = shaped_ ? 0 : bevelWidth_;
    return QRect(inset, inset, picture_.width(), picture_.height());
}

void TabcsfSplash::setShaped(bool on) {
    shaped_ = on;
    if (!on || picture_.isNull()) {
        clearMask();
        return;
    }
    // Background is the bottom-left pixel; pixels within the tolerance band around it
    // are cut away, row by row.
    const QImage img = picture_.convertToFormat(QImage::Format_RGB32);
    const QRgb bg = img.pixel(0, img.height() - 1);
    const int tol[3] = {static_cast<int>(tolerance_ & 0xFF),
                        static_cast<int>((tolerance_ >> 8) & 0xFF),
                        static_cast<int>((tolerance_ >> 16) & 0xFF)};
    const int base[3] = {qRed(bg), qGreen(bg), qBlue(bg)};
    int lo[3], hi[3];
    for (int c = 0; c < 3; ++c) {
        lo[c] = std::max(0, base[c] - tol[c]);
        hi[c] = std::min(255, lo[c] + 2 * tol[c]);
    }
    auto isBackground = [&](QRgb px) {
        const int v[3] = {qRed(px), qGreen(px), qBlue(px)};
        for (int c = 0; c < 3; ++c) {
            if (v[c] < lo[c] || v[c] > hi[c]) return false;
        }
        return true;
    };
    QRegion region;
    for (int y = 0; y < img.height(); ++y) {
        int x = 0;
        while (x < img.width()) {
            while (x < img.width() && isBackground(img.pixel(x, y))) ++x;
            const int x0 = x;
            while (x < img.width() && !isBackground(img.pixel(x, y))) ++x;
            if (x > x0) region += QRect(x0, y, x - x0, 1);
        }
    }
    setMask(region);
}

void TabcsfSplash::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), toQColor(toolkit::clBtnFace, palette()));
    if (!shaped_) {
        const QColor light = toQColor(toolkit::clBtnHighlight, palette());
        const QColor shadow = toQColor(toolkit::clBtnShadow, palette());
        QRect r = rect();
        for (int i = 0; i < bevelWidth_ && r.width() > 0 && r.height() > 0; ++i) {
            p.fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), light);
            p.fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), light);
            p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), shadow);
            p.fillRect(QRect(r.right(), r.top(), 1, r.height()), shadow);
            r.adjust(1, 1, -1, -1);
        }
    }
    if (!picture_.isNull()) drawPicture(p, pictureRect().topLeft(), picture_, picture2x_);
}

void TabcsfSplash::mousePressEvent(QMouseEvent* event) {
    // Only a click of the first button answers, as a button's click does:
    // other buttons and the bevel do nothing, and the window stays until the
    // button comes up again over the picture.
    pressedOnPicture_ =
        event->button() == Qt::LeftButton && pictureRect().contains(event->position().toPoint());
}

void TabcsfSplash::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressedOnPicture_ && event->button() == Qt::LeftButton &&
                       pictureRect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton) pressedOnPicture_ = false;
    if (click && hideOnClick_) close();
}

void TabcsfSplash::keyPressEvent(QKeyEvent*) {
    // Keys do nothing, Escape included (QDialog would reject).
}

void TabcsfSplash::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (tmrClose_->interval() != 0)
        tmrClose_->start();
    else
        tmrClose_->stop();
    if (onShown) onShown();
}

void TabcsfSplash::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    tmrClose_->stop();
    if (!hiddenReported_) {
        hiddenReported_ = true;
        if (onHidden) onHidden();
    }
}

void TabcsfSplash::closeEvent(QCloseEvent* event) {
    tmrClose_->stop();
    QDialog::closeEvent(event);
}

// --- TabcSplash -----------------------------------------------------------------------

TabcSplash::TabcSplash(QObject* owner) : QObject(owner) {
    factory_.Register(TabcsfSplash::staticMetaObject,
                      [](QObject*) -> QWidget* { return new TabcsfSplash(nullptr); });
}

TabcSplash::~TabcSplash() {
    OnHide = nullptr;
    OnShow = nullptr;
    if (window_) {
        window_->onHidden = nullptr;
        window_->onShown = nullptr;
        delete window_.data();
    }
}

bool TabcSplash::hasNoSplashSwitch(const QStringList& args) {
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString a = args[i].toLower();
        if (a == QLatin1String("-ns") || a == QLatin1String("/ns")) return true;
    }
    return false;
}

void TabcSplash::setAutoShow(bool on) {
    autoShow_ = on;
    if (on && !hasNoSplashSwitch(arguments())) Show();
}

QStringList TabcSplash::arguments() const {
    return arguments_ ? *arguments_ : QCoreApplication::arguments();
}

QRect TabcSplash::screenGeometry() const {
    if (screenGeometry_) return *screenGeometry_;
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}

int TabcSplash::screenDepth() const {
    if (screenDepth_) return *screenDepth_;
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->depth() : 32;
}

QString TabcSplash::localBitmapPath() const {
    const QString exe =
        executablePath_ ? *executablePath_ : QCoreApplication::applicationFilePath();
    if (exe.isEmpty()) return {};
    const QFileInfo info(exe);
    QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0) name.truncate(dot);
    return info.path() + QLatin1Char('/') + name + QLatin1String(".bmp");
}

void TabcSplash::Show() {
    if (Picture.isNull() && PictureVGA.isNull()) throw std::runtime_error("Picture required");
    if (window_) return;
    auto* window =
        qobject_cast<TabcsfSplash*>(factory_.Create(TabcsfSplash::staticMetaObject, this));
    if (!window) return;
    window_ = window;
    window->onShown = [this] {
        if (OnShow) OnShow(this);
    };
    window->onHidden = [this] { windowHidden(); };
    window->setWindowFlag(Qt::WindowStaysOnTopHint, StayOnTop);
    window->closeTimer()->setInterval(Duration);
    window->setHideOnClick(HideOnClick);
    window->setBevelWidth(BevelWidth);

    QImage picture;
    if (AllowLocalBmp) {
        const QString path = localBitmapPath();
        // A damaged file beside the program must not stop it from starting: it is
        // ignored and the built-in picture shows. Only a regular file is read; a
        // named pipe there would wait for a writer forever.
        if (!path.isEmpty() && QFileInfo(path).isFile()) picture.load(path, "BMP");
    }
    if (picture.isNull()) {
        if (screenDepth() == 4 && !PictureVGA.isNull())
            picture = PictureVGA;
        else if (!Picture.isNull())
            picture = Picture;
        else
            picture = PictureVGA;
    }
    // Only the built-in picture has a double; a local file shows as it is.
    window->setPicture(picture, picture.cacheKey() == Picture.cacheKey() ? Picture2x : QImage());
    if (ShapeForm) {
        window->setShapeTolerance(ShapeTolerance);
        window->setShaped(true);
    }

    const int w = picture.width() + 2 * BevelWidth;
    const int h = picture.height() + 2 * BevelWidth;
    // A screen need not start at the desktop's origin: one beside or below
    // another does not.
    const QRect screen = screenGeometry();
    window->setGeometry(screen.x() + (screen.width() - w) / 2,
                        screen.y() + (screen.height() - h) / 2, w, h);

    if (ShowModal) {
        if (Duration == 0) window->closeTimer()->setInterval(5000);
        // Our own modal loop: it ends when the window hides, however it was closed.
        QEventLoop loop;
        window->onHidden = [this, &loop] {
            windowHidden();
            loop.quit();
        };
        window->setWindowModality(Qt::ApplicationModal);
        QPointer<TabcsfSplash> guard(window);
        window->show();
        if (guard && guard->isVisible()) loop.exec();
        if (guard) guard->onHidden = [this] { windowHidden(); };
    } else {
        window->show();
    }
    // Paint now: the program's own event loop has not started yet.
    QCoreApplication::processEvents();
}

void TabcSplash::Hide() {
    if (window_) window_->close();
}

void TabcSplash::windowHidden() {
    if (OnHide) OnHide(this);
    window_ = nullptr;
}

}  // namespace hk::skin
