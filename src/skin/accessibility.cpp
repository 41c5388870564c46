#include "skin/accessibility.h"

#include <QPointer>
#include <QRegularExpression>
#include <functional>

#include "skin/TCoolBitmapButton.h"
#include "skin/TCoolPanel.h"
#include "skin/TRxGIFAnimator.h"
#include "skin/TRzURLLabel.h"

namespace hk::skin {

namespace {

// A sibling stacked above `widget` and shown hides all of it from the user.
bool CoveredBySibling(const QWidget* widget) {
    const QWidget* parent = widget->parentWidget();
    if (!parent) return false;
    const QObjectList& siblings = parent->children();  // bottom to top
    for (qsizetype i = siblings.indexOf(const_cast<QWidget*>(widget)) + 1; i < siblings.size();
         ++i) {
        const auto* above = qobject_cast<const QWidget*>(siblings[i]);
        if (above && above->isVisible() && !above->isWindow() &&
            above->geometry().contains(widget->geometry()))
            return true;
    }
    return false;
}

// A control whose Press action does what a click does. The click runs after
// the request has been answered: a click that opens a modal window would
// otherwise keep the screen reader waiting until that window closes.
class ClickableAccessible : public QAccessibleWidget {
  public:
    ClickableAccessible(QWidget* widget, QAccessible::Role role, std::function<void()> click)
        : QAccessibleWidget(widget, role), click_(std::move(click)) {}

    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& name) override {
        if (name != pressAction()) return QAccessibleWidget::doAction(name);
        QPointer<QWidget> target = widget();
        if (!target->isEnabled()) return;
        auto click = click_;
        QMetaObject::invokeMethod(
            target,
            [target, click] {
                if (target && target->isEnabled()) click();
            },
            Qt::QueuedConnection);
    }

  protected:
    // The name set by the window, else `fallback`.
    QString nameOr(const QString& fallback) const {
        const QString set = widget()->accessibleName();
        return set.isEmpty() ? fallback : set;
    }

  private:
    std::function<void()> click_;
};

class BitmapButtonAccessible final : public ClickableAccessible {
  public:
    explicit BitmapButtonAccessible(TCustomBitmapButton* button)
        : ClickableAccessible(button, QAccessible::Button, [button] { button->Click(); }) {}
    // No caption of its own: the hint is the next best name.
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return nameOr(widget()->toolTip());
        if (t == QAccessible::Description && widget()->accessibleDescription().isEmpty() &&
            widget()->toolTip() == text(QAccessible::Name))
            return {};  // heard once is enough
        return QAccessibleWidget::text(t);
    }
};

class LinkLabelAccessible final : public ClickableAccessible {
  public:
    explicit LinkLabelAccessible(TRzURLLabel* label)
        : ClickableAccessible(label, QAccessible::Link, [label] { label->Click(); }),
          label_(label) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            return nameOr(SpokenCaption(label_->Caption(), label_->ShowAccelChar()));
        if (t == QAccessible::Value) return label_->URL();
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.traversed = label_->Visited();
        // The online-only notice lies under the codes view until the view hides.
        if (CoveredBySibling(label_)) s.invisible = true;
        return s;
    }

  private:
    TRzURLLabel* label_;
};

class BannerAccessible final : public ClickableAccessible {
  public:
    explicit BannerAccessible(TRxGIFAnimator* banner)
        : ClickableAccessible(banner, QAccessible::Link, [banner] {
              if (banner->OnClick) banner->OnClick(banner);
          }) {}
};

// A panel that shows a caption (a header, the search bar) reads it; one
// without is a piece of frame or a container, Qt's filler.
class PanelAccessible final : public QAccessibleWidget {
  public:
    explicit PanelAccessible(TCoolPanel* panel) : QAccessibleWidget(panel), panel_(panel) {}
    QAccessible::Role role() const override {
        return panel_->Caption().trimmed().isEmpty() ? QAccessible::Client
                                                     : QAccessible::StaticText;
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return SpokenCaption(panel_->Caption(), false);
        return QAccessibleWidget::text(t);
    }

  private:
    TCoolPanel* panel_;
};

}  // namespace

void NotifyNameChanged(QWidget* widget) {
    if (!QAccessible::isActive()) return;
    QAccessibleEvent event(widget, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

QString SpokenCaption(const QString& caption, bool accelMarks) {
    QString s = caption;
    if (accelMarks) {
        static const QRegularExpression mark(QStringLiteral("&(.)"));
        s.replace(mark, QStringLiteral("\\1"));
    }
    return s.simplified();
}

QAccessibleInterface* SkinAccessibleFactory(const QString&, QObject* object) {
    if (auto* button = qobject_cast<TCustomBitmapButton*>(object))
        return new BitmapButtonAccessible(button);
    if (auto* label = qobject_cast<TRzURLLabel*>(object)) return new LinkLabelAccessible(label);
    if (auto* banner = qobject_cast<TRxGIFAnimator*>(object)) return new BannerAccessible(banner);
    if (auto* panel = qobject_cast<TCoolPanel*>(object)) return new PanelAccessible(panel);
    return nullptr;
}

}  // namespace hk::skin
