#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;

namespace hk::printing {

// The small window that shows which page is being generated, with Cancel.
class TKxStatusForm : public QDialog {
    Q_OBJECT
  public:
    TKxStatusForm(QWidget* parent, const QString& caption);

    void SetStatus(const QString& text);
    QString Status() const;
    QPushButton* CancelButton() const { return cancel_; }

    std::function<void()> OnCancel;

    // Esc (and closing the window) is the Cancel button; the window stays
    // until the run that owns it ends.
    void reject() override;

  private:
    QLabel* label_;
    QPushButton* cancel_;
};

}  // namespace hk::printing
