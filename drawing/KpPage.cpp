#include "drawing/KpPage.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <typeinfo>

#include <QPainter>
#include <QPicture>

#include "drawing/KpDocument.h"
#include "drawing/KpDrawContext.h"
#include "drawing/KpHeaderFooter.h"
#include "drawing/KpMargins.h"
#include "drawing/KpMessages.h"
#include "drawing/KpObjectKinds.h"
#include "platform/KpDeviceCanvas.h"
#include "platform/KpScreen.h"

namespace kp {

void TKpObjectList::push_back(TKpObjectPtr<TKpBaseObject>&& object) {
    if (!object) return;
    TKpObjectPool* pool = object.get_deleter().Pool;
    if (!block_) block_ = std::make_unique<Block>();
    if (pool) {
        if (block_->pool && block_->pool != pool)
            throw std::invalid_argument("The object was made for another document");
        block_->pool = pool;
    }
    block_->items.push_back(object.get());
    object.release();
}

void TKpObjectList::clear() {
    if (!block_) return;
    const TKpObjectDeleter free{block_->pool};
    std::vector<TKpBaseObject*>& items = block_->items;
    while (!items.empty()) {
        TKpBaseObject* last = items.back();
        items.pop_back();
        free(last);
    }
    block_.reset();
}

void TKpObjectList::shrink_to_fit() {
    if (block_) block_->items.shrink_to_fit();
}

EListError::EListError(int index)
    : std::out_of_range("List index out of bounds (" + std::to_string(index) + ")"), Index(index) {}

TKpPage::TKpPage(TKpDocument* owner) : owner_(owner) {
    if (owner_) orientation_ = owner_->Orientation();
}

TKpPage::~TKpPage() {
    if (TKpPageList* pages = list()) pages->detach(*this);
    Clear();
    metafile_.Clear();
}

TKpBaseObject* TKpPage::Objects(int index) const {
    if (index < 0 || index >= Count()) throw EListError(index);
    return objects_[static_cast<size_t>(index)];
}

int TKpPage::AddObject(std::unique_ptr<TKpBaseObject> object) {
    // An object of a pool handed over as a heap object must go back to its own pool; one
    // of another document's pool is left alone (leaked, not freed into the wrong place).
    if (object && object->MadeInPool()) {
        TKpObjectPool* pool = ObjectPool();
        if (!pool || !pool->Owns(object.get())) {
            object.release();
            throw std::invalid_argument("The object was made for another document");
        }
        return AddObject(TKpObjectPtr<TKpBaseObject>(object.release(), TKpObjectDeleter{pool}));
    }
    return AddObject(TKpObjectPtr<TKpBaseObject>(object.release()));
}

int TKpPage::AddObject(TKpObjectPtr<TKpBaseObject>&& object) {
    // Another document's pool would be freed before its objects here.
    if (object.get_deleter().Pool && object.get_deleter().Pool != ObjectPool())
        throw std::invalid_argument("The object was made for another document");
    const bool hostKind = object && !IsListedObjectKind(*object);
    objects_.push_back(std::move(object));
    hostObjects_ = hostObjects_ || hostKind;
    return Count() - 1;
}

TKpObjectPool* TKpPage::ObjectPool() const {
    return owner_ ? owner_->ObjectPool() : nullptr;
}

void TKpPage::Clear() {
    objects_.clear();
    hostObjects_ = false;
    if (TKpPageList* pages = list()) ++pages->revision_;
}

TKpPageList* TKpPage::list() const {
    return listed_ && owner_ ? &owner_->Pages() : nullptr;
}

void TKpPage::storeOrientation(TKpOrientation value) {
    if (TKpPageList* pages = list(); pages && value != orientation_)
        pages->landscapeCount_ += value == kpLandscape ? 1 : -1;
    orientation_ = value;
}

void TKpPage::SetOrientation(TKpOrientation value) {
    if (value == orientation_) return;
    storeOrientation(value);
    UpdateMetafile();
    if (!owner_) return;
    owner_->Notify(KPM_REFRESH);
    owner_->Notify(KPM_PAGEORIENTATIONCHANGED, PageNum);
    owner_->FireChangePageOrientation(this, PageNum, value);
    if (TKpDocumentView* view = owner_->View()) view->ViewPageTurned();
}

void TKpPage::UpdateMetafile() {
    const Extended w =
        orientation_ == kpLandscape ? MaxFloat(Width, Height) : MinFloat(Width, Height);
    const Extended h =
        orientation_ == kpLandscape ? MinFloat(Width, Height) : MaxFloat(Width, Height);
    const int p = ScreenPixelsPerInch();
    metafile_.SetWidth(static_cast<int>(kp::Round(p * w)));
    metafile_.SetHeight(static_cast<int>(kp::Round(p * h)));
    // Fixed now, drawn when played: the objects so far, the clip, header and footer.
    drawnCount_ = Count();
    drawn_ = 0;
    if (owner_) {
        if (owner_->Margins().ClipMargins()) drawn_ |= ClipToMargins;
        if (owner_->PrinterPrinting()) drawn_ |= Printing;
        if (owner_->Header().Visible()) drawn_ |= WithHeader;
        if (owner_->Footer().Visible()) drawn_ |= WithFooter;
    }
    // Unique across pages, so a display can tell any two rebuilds apart.
    static uint32_t rebuilds = 0;
    generation_ = ++rebuilds;
    metafile_.SetSource(this);
    // The suite's own kinds are drawn when the picture is played. A host's kinds are drawn
    // once here as well, so that an error of theirs reaches the caller of the rebuild (and
    // the rebuild is not reported).
    if (hostObjects_) drawOnce();
    if (owner_) owner_->Notify(KPM_PAGEREBUILT, PageNum);
}

void TKpPage::drawOnce() const {
    QPicture scratch;
    QPainter painter(&scratch);
    const int ppi = ScreenPixelsPerInch();
    TKpDeviceCanvas canvas(&painter, ppi, ppi);
    DrawPicture(canvas);
}

void TKpPage::DrawPicture(TKpDeviceCanvas& canvas) const {
    const bool printing = drawn_ & Printing;
    const TKpDrawContext context =
        owner_ ? owner_->DrawContext(printing) : TKpDrawContext::Current(printing);
    TKpPageDrawing how;
    how.PageRect = QRect(0, 0, metafile_.Width(), metafile_.Height());
    how.ClipToMargins = drawn_ & ClipToMargins;
    how.ClipToPage = true;
    how.Header = drawn_ & WithHeader;
    how.Footer = drawn_ & WithFooter;
    // Objects cleared away since the rebuild are gone from the picture as well.
    how.ObjectCount = drawnCount_;
    DrawPage(canvas, *this, context, how);
    canvas.ClearClip();
}

TKpPageList::TKpPageList(TKpDocument* owner) : owner_(owner) {}

TKpPageList::~TKpPageList() {
    // Destroying the list frees the pages; the document is already being destroyed, so its
    // handlers are not called any more (nor is the list, which it no longer reaches).
    for (const auto& page : pages_)
        page->listed_ = false;
    while (!pages_.empty())
        pages_.pop_back();
}

TKpPage* TKpPageList::GetPage(int number) const {
    if (number < 1 || number > Count()) throw EListError(number - 1);
    return pages_[static_cast<size_t>(number - 1)].get();
}

void TKpPageList::Renumber() {
    for (int i = 0; i < Count(); ++i)
        pages_[static_cast<size_t>(i)]->PageNum = i + 1;
}

TKpPage* TKpPageList::AddPage() {
    if (!pages_.empty()) pages_.back()->TrimStorage();
    pages_.push_back(std::make_unique<TKpPage>(owner_));
    TKpPage* page = pages_.back().get();
    page->PageNum = Count();
    // A page finds its list through its document: only the document's own list counts.
    page->listed_ = owner_ && &owner_->Pages() == this;
    ++revision_;
    if (page->listed_ && page->Orientation() == kpLandscape) ++landscapeCount_;
    return page;
}

void TKpPageList::detach(TKpPage& page) {
    if (!page.listed_) return;
    if (page.Orientation() == kpLandscape) --landscapeCount_;
    page.listed_ = false;
}

void TKpPageList::Clear() {
    while (!pages_.empty())
        pages_.pop_back();
    ++revision_;
    pool_.ReleaseIfEmpty();
    if (owner_) owner_->FireClear();
}

void TKpPageList::DeletePage(int number) {
    if (number < 1 || number > Count()) throw EListError(number - 1);
    // Out of the list but still alive while the document moves its canvas and view off it.
    const std::unique_ptr<TKpPage> page = std::move(pages_[static_cast<size_t>(number - 1)]);
    pages_.erase(pages_.begin() + (number - 1));
    detach(*page);
    ++revision_;
    const bool clearing = owner_ && owner_->Clearing();
    if (!clearing) Renumber();
    if (owner_) owner_->PageDeleted(number, page.get());
    if (clearing) return;
    if (owner_) owner_->FireDeletePage();
}

} // namespace kp
