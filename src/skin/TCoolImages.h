#pragma once
// The skin's picture store: an indexed collection of bitmaps that panels paint from and
// window code copies button faces out of. Clients hear about changes through a
// TCoolChangeLink they register.

#include <QImage>
#include <QObject>
#include <memory>
#include <stdexcept>
#include <vector>

#include "skin/events.h"

namespace hk::skin {

class TCoolImages;

// Raised for an index outside the collection: "List index out of bounds (%d)".
class EListError : public std::out_of_range {
  public:
    explicit EListError(int index);
    int index() const { return index_; }

  private:
    int index_;
};

class TCoolChangeLink {
  public:
    TCoolChangeLink() = default;
    ~TCoolChangeLink();  // unregisters from the collection it is registered with
    TCoolChangeLink(const TCoolChangeLink&) = delete;
    TCoolChangeLink& operator=(const TCoolChangeLink&) = delete;

    TCoolImages* CoolImages() const { return coolImages_; }
    TNotifyEvent OnChange;  // sender: the collection
    void Change();

  private:
    friend class TCoolImages;
    TCoolImages* coolImages_ = nullptr;
};

class TBitmaps;

class TBitmapItem {
  public:
    explicit TBitmapItem(TBitmaps* collection);
    ~TBitmapItem();  // tells the owner first, so its panels repaint without this item
    TBitmapItem(const TBitmapItem&) = delete;
    TBitmapItem& operator=(const TBitmapItem&) = delete;

    const QImage& Bitmap() const { return bitmap_; }
    // Copies; the caller keeps its picture. `doubled`, when given, is the same design
    // drawn at twice the pixels for high-density screens (see skin/density.h); a new
    // bitmap without one drops the old one.
    void setBitmap(const QImage& bitmap, const QImage& doubled = QImage());
    const QImage& Bitmap2x() const { return bitmap2x_; }
    void Assign(const TBitmapItem& source);
    int Index() const;

  private:
    TBitmaps* collection_;
    QImage bitmap_;
    QImage bitmap2x_;
};

class TBitmaps {
  public:
    explicit TBitmaps(TCoolImages* owner) : owner_(owner) {}
    ~TBitmaps();
    TBitmaps(const TBitmaps&) = delete;
    TBitmaps& operator=(const TBitmaps&) = delete;

    TCoolImages* Owner() const { return owner_; }
    int Count() const { return static_cast<int>(items_.size()); }
    TBitmapItem& Items(int index) const;  // throws EListError
    TBitmapItem& operator[](int index) const { return Items(index); }
    TBitmapItem& Add();
    TBitmapItem& Add(const QImage& bitmap, const QImage& doubled = QImage());
    int IndexOf(const TBitmapItem* item) const;

  private:
    friend class TBitmapItem;
    void itemChanged();
    TCoolImages* owner_;
    std::vector<std::unique_ptr<TBitmapItem>> items_;
};

class TCoolImages : public QObject {
    Q_OBJECT
  public:
    explicit TCoolImages(QObject* owner = nullptr);
    ~TCoolImages() override;

    TBitmaps& Bitmaps() { return bitmaps_; }
    const TBitmaps& Bitmaps() const { return bitmaps_; }

    void RegisterChanges(TCoolChangeLink* link);
    void UnRegisterChanges(TCoolChangeLink* link);
    void Change();
    int LinkCount() const { return links_ ? static_cast<int>(links_->size()) : 0; }

  private:
    std::unique_ptr<std::vector<TCoolChangeLink*>> links_;
    TBitmaps bitmaps_;
};

}  // namespace hk::skin
