#pragma once
// The start-up splash: a borderless, stay-on-top window centred on the screen showing a
// picture, closed after `Duration` ms or by a click, reporting through OnHide when it
// has gone. The window class is made through a small class registry (TabcFormFactory)
// so that a program may substitute its own splash form.

#include <QDialog>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QStringList>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>

#include "skin/events.h"
#include "toolkit/colors.h"

class QTimer;

namespace hk::skin {

class TabcsfSplash;

// Maps a base form class to the class to build for it. Each TabcSplash owns one, with
// TabcsfSplash registered under its own name.
class TabcFormFactory {
  public:
    using Creator = std::function<QWidget*(QObject* owner)>;

    // Registers `derived` under the name of `base`. Throws std::invalid_argument
    // "Form Factory error: <derived> does not inherit from <base>" otherwise.
    void RegisterAs(const QMetaObject& base, const QMetaObject& derived, Creator create);
    void Register(const QMetaObject& cls, Creator create) {
        RegisterAs(cls, cls, std::move(create));
    }
    // A new window of the class registered under `base`'s name, or nullptr.
    QWidget* Create(const QMetaObject& base, QObject* owner) const;
    bool contains(const QMetaObject& base) const;

  private:
    std::map<std::string, Creator> classes_;  // sorted by base class name
};

// The splash form: a raised-bevel panel with the picture at its inner top-left.
class TabcsfSplash : public QDialog {
    Q_OBJECT
  public:
    explicit TabcsfSplash(QWidget* parent = nullptr);

    // `doubled`: the same picture drawn at twice the pixels, for high-density screens.
    void setPicture(const QImage& picture, const QImage& doubled = QImage());
    const QImage& picture() const { return picture_; }
    void setBevelWidth(int width);
    int bevelWidth() const { return bevelWidth_; }
    void setHideOnClick(bool on) { hideOnClick_ = on; }
    bool hideOnClick() const { return hideOnClick_; }
    void setShapeTolerance(toolkit::TColor tolerance) { tolerance_ = tolerance; }
    void setShaped(bool on);
    QTimer* closeTimer() const { return tmrClose_; }

    std::function<void()> onShown, onHidden;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    QRect pictureRect() const;
    QImage picture_;
    QImage picture2x_;
    int bevelWidth_ = 3;
    bool hideOnClick_ = true;
    bool pressedOnPicture_ = false;  // a click is a press and a release on the picture
    bool shaped_ = false;
    toolkit::TColor tolerance_ = toolkit::rgbColor(16, 16, 16);
    QTimer* tmrClose_;
    bool hiddenReported_ = false;
};

class TabcSplash : public QObject {
    Q_OBJECT
  public:
    explicit TabcSplash(QObject* owner = nullptr);
    ~TabcSplash() override;

    bool AllowLocalBmp = true;
    int BevelWidth = 5;
    int Duration = 5000;  // ms; 0 keeps the window until clicked or hidden
    bool HideOnClick = true;
    QImage Picture;
    QImage Picture2x;  // Picture drawn at twice the pixels, shown on high-density screens
    QImage PictureVGA;
    bool ShapeForm = false;
    toolkit::TColor ShapeTolerance = toolkit::rgbColor(16, 16, 16);
    bool ShowModal = false;
    bool StayOnTop = true;
    TNotifyEvent OnHide, OnShow;

    bool AutoShow() const { return autoShow_; }
    // Stored last when a layout is read: true shows the splash unless the command line
    // holds "/ns" or "-ns" (any letter case).
    void setAutoShow(bool on);

    void Show();  // throws std::runtime_error("Picture required") without a picture
    void Hide();
    TabcsfSplash* window() const { return window_; }
    TabcFormFactory& factory() { return factory_; }

    // Start-up environment, injectable for tests; defaults come from the application.
    void setArguments(const QStringList& args) { arguments_ = args; }
    // The area the window centres on, origin included: by default the whole of
    // the screen the program starts on, the primary one, where Qt opens windows.
    void setScreenGeometry(QRect geometry) { screenGeometry_ = geometry; }
    void setScreenSize(QSize size) { screenGeometry_ = QRect(QPoint(0, 0), size); }
    void setScreenDepth(int bitsPerPixel) { screenDepth_ = bitsPerPixel; }
    void setExecutablePath(const QString& path) { executablePath_ = path; }
    static bool hasNoSplashSwitch(const QStringList& args);  // looks at args 1 ... n

  private:
    QStringList arguments() const;
    QRect screenGeometry() const;
    int screenDepth() const;
    QString localBitmapPath() const;
    void windowHidden();

    bool autoShow_ = true;
    QPointer<TabcsfSplash> window_;
    TabcFormFactory factory_;
    std::optional<QStringList> arguments_;
    std::optional<QRect> screenGeometry_;
    std::optional<int> screenDepth_;
    std::optional<QString> executablePath_;
};

}  // namespace hk::skin
