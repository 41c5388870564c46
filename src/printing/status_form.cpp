#include "printing/status_form.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace hk::printing {

TKxStatusForm::TKxStatusForm(QWidget* parent, const QString& caption)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("TKxStatusForm"));
    setWindowTitle(caption);
    setFixedSize(361, 113);
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(13);
    setFont(f);
    label_ = new QLabel(this);
    label_->setGeometry(8, 16, 345, 49);
    label_->setAlignment(Qt::AlignCenter);
    label_->setWordWrap(true);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setGeometry(136, 72, 89, 33);
    connect(cancel_, &QPushButton::clicked, this, [this] {
        if (OnCancel) OnCancel();
    });
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

void TKxStatusForm::reject() {
    cancel_->click();
}

void TKxStatusForm::SetStatus(const QString& text) {
    label_->setText(text);
}

QString TKxStatusForm::Status() const {
    return label_->text();
}

}  // namespace hk::printing
