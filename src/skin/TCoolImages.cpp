#include "skin/TCoolImages.h"

#include <algorithm>
#include <string>

#include "skin/density.h"

namespace hk::skin {

namespace {
std::string outOfBounds(int index) {
    return "List index out of bounds (" + std::to_string(index) + ")";
}
}  // namespace

EListError::EListError(int index) : std::out_of_range(outOfBounds(index)), index_(index) {}

TCoolChangeLink::~TCoolChangeLink() {
    if (coolImages_) coolImages_->UnRegisterChanges(this);
}

void TCoolChangeLink::Change() {
    if (OnChange) OnChange(coolImages_);
}

TBitmapItem::TBitmapItem(TBitmaps* collection) : collection_(collection) {}

TBitmapItem::~TBitmapItem() {
    // The collection repaints its clients before the picture goes.
    if (collection_) collection_->itemChanged();
}

void TBitmapItem::setBitmap(const QImage& bitmap, const QImage& doubled) {
    bitmap_ = bitmap.copy();
    bitmap2x_ = markedDoubled(doubled);
    if (collection_) collection_->itemChanged();
}

void TBitmapItem::Assign(const TBitmapItem& source) {
    if (&source != this) setBitmap(source.bitmap_, source.bitmap2x_);
}

int TBitmapItem::Index() const {
    return collection_ ? collection_->IndexOf(this) : -1;
}

TBitmaps::~TBitmaps() {
    // Items die last to first; each one's change still runs (and reaches nobody once the
    // owner has dropped its links).
    while (!items_.empty()) items_.pop_back();
}

TBitmapItem& TBitmaps::Items(int index) const {
    if (index < 0 || index >= Count()) throw EListError(index);
    return *items_[static_cast<std::size_t>(index)];
}

TBitmapItem& TBitmaps::Add() {
    items_.push_back(std::make_unique<TBitmapItem>(this));
    itemChanged();
    return *items_.back();
}

TBitmapItem& TBitmaps::Add(const QImage& bitmap, const QImage& doubled) {
    items_.push_back(std::make_unique<TBitmapItem>(this));
    items_.back()->setBitmap(bitmap, doubled);
    return *items_.back();
}

int TBitmaps::IndexOf(const TBitmapItem* item) const {
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].get() == item) return static_cast<int>(i);
    }
    return -1;
}

void TBitmaps::itemChanged() {
    if (owner_) owner_->Change();
}

TCoolImages::TCoolImages(QObject* owner)
    : QObject(owner), links_(std::make_unique<std::vector<TCoolChangeLink*>>()), bitmaps_(this) {}

TCoolImages::~TCoolImages() {
    while (!links_->empty()) UnRegisterChanges(links_->back());
    links_.reset();
    // bitmaps_ goes after this body; its items' change runs find no list.
}

void TCoolImages::RegisterChanges(TCoolChangeLink* link) {
    if (!link || !links_) return;
    if (link->coolImages_) link->coolImages_->UnRegisterChanges(link);
    link->coolImages_ = this;
    links_->push_back(link);
}

void TCoolImages::UnRegisterChanges(TCoolChangeLink* link) {
    if (!links_) return;
    auto it = std::find(links_->begin(), links_->end(), link);
    if (it == links_->end()) return;
    (*it)->coolImages_ = nullptr;
    links_->erase(it);
}

void TCoolImages::Change() {
    if (!links_) return;
    // A callback may unregister links; walk a snapshot.
    const std::vector<TCoolChangeLink*> snapshot = *links_;
    for (TCoolChangeLink* link : snapshot) {
        if (std::find(links_->begin(), links_->end(), link) != links_->end()) link->Change();
    }
}

}  // namespace hk::skin
