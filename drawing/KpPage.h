#pragma once
// A page: an ordered list of owned drawing objects, its orientation, paper size in inches,
// and the picture it renders of itself at screen resolution. The page list owns the pages.
// The picture is drawn from the objects whenever it is played; a rebuild only fixes what it
// shows (the objects so far, the clip, header and footer). An empty page holds no heap
// block at all.
#include "paginor/KpExport.h"

#include <cstdint>
#include <memory>
#include <vector>

#include "drawing/KpObjects.h"
#include "drawing/KpUnits.h"
#include "platform/KpPicture.h"

namespace kp {

class TKpDocument;
class TKpExtStream;
class TKpPageList;

// The list's own range error ("List index out of bounds (%d)").
class PAGINOR_EXPORT EListError : public std::out_of_range {
public:
    explicit EListError(int index);
    int Index;
};

// A page's objects, owned, made in the document's object pool or on the heap: no heap block
// until the first one arrives (most pages of a long document are small, and an empty one
// should cost no more than the page itself).
class PAGINOR_EXPORT TKpObjectList {
public:
    TKpObjectList() = default;
    ~TKpObjectList() { clear(); }
    TKpObjectList(const TKpObjectList&) = delete;
    TKpObjectList& operator=(const TKpObjectList&) = delete;

    size_t size() const { return block_ ? block_->items.size() : 0; }
    bool empty() const { return size() == 0; }
    TKpBaseObject* const* begin() const { return block_ ? block_->items.data() : nullptr; }
    TKpBaseObject* const* end() const { return begin() + size(); }
    TKpBaseObject* operator[](size_t i) const { return block_->items[i]; }
    // Takes the object. The pooled objects of one list all come from one pool; one from
    // another pool is refused with std::invalid_argument and stays with the caller.
    void push_back(TKpObjectPtr<TKpBaseObject>&& object);
    // Frees the objects from the last to the first.
    void clear();
    // Gives back the spare room of the list (the page is finished).
    void shrink_to_fit();

private:
    struct Block {
        TKpObjectPool* pool = nullptr;
        std::vector<TKpBaseObject*> items;
    };
    std::unique_ptr<Block> block_;
};

class PAGINOR_EXPORT TKpPage final : private TKpPictureSource {
public:
    explicit TKpPage(TKpDocument* owner);
    ~TKpPage();
    TKpPage(const TKpPage&) = delete;
    TKpPage& operator=(const TKpPage&) = delete;

    int Count() const { return static_cast<int>(objects_.size()); }
    // The object at index (from 0); EListError outside the range.
    TKpBaseObject* Objects(int index) const;
    // Appends and takes ownership; returns the index. No picture update, no event.
    int AddObject(std::unique_ptr<TKpBaseObject> object);
    // The same for an object of NewObject or CreateObjectOfType with this page's pool.
    int AddObject(TKpObjectPtr<TKpBaseObject>&& object);
    // A new object of type T in the document's object pool (on the heap for a page without
    // a document), to be filled in and added.
    template <class T> TKpObjectPtr<T> NewObject() const { return MakeObject<T>(ObjectPool()); }
    TKpObjectPool* ObjectPool() const;
    // Gives back the spare room of the object list (the page is finished).
    void TrimStorage() { objects_.shrink_to_fit(); }
    // Frees the objects from the last to the first; the picture is not updated.
    void Clear();
    // A change re-renders the picture and fires the document's OnChangePageOrientation.
    void SetOrientation(TKpOrientation value);
    TKpOrientation Orientation() const { return orientation_; }
    // Rebuilds the picture from the objects, header and footer: from now on it shows the
    // objects there are now, clipped as the margins say now. It is drawn when played; a page
    // holding objects of a host's own kinds is drawn here too, and their errors pass on.
    void UpdateMetafile();

    void SaveToStream(TKpExtStream& stream) const;
    void LoadFromStream(TKpExtStream& stream, Extended fileVersion);

    TKpMetafile& Metafile() { return metafile_; }
    const TKpMetafile& Metafile() const { return metafile_; }
    TKpDocument* Owner() const { return owner_; }

private:
    // Loading, copying and tests store fields without notifying (TKpFieldAccess).
    friend struct TKpFieldAccess;
    // The picture's content: the objects of the last rebuild, then header and footer.
    void DrawPicture(TKpDeviceCanvas& canvas) const override;
    uint32_t PictureGeneration() const override { return generation_; }

    // What the last rebuild fixed.
    enum : uint8_t { ClipToMargins = 1, Printing = 2, WithHeader = 4, WithFooter = 8 };

    friend class TKpPageList;
    // Every change of orientation_ goes through here, so the list's count stays true.
    void storeOrientation(TKpOrientation value);
    // The owner's page list while the page is in it, none otherwise.
    TKpPageList* list() const;
    // Draws the picture's content onto a scratch recording (errors pass on to the caller).
    void drawOnce() const;

    TKpObjectList objects_;
    TKpMetafile metafile_;
    TKpDocument* owner_;

public:
    int32_t PageNum = 0;

private:
    int32_t drawnCount_ = 0; // objects shown by the picture
    uint32_t generation_ = 0;
    TKpOrientation orientation_ = kpPortrait;
    uint8_t drawn_ = 0;        // ClipToMargins | Printing | WithHeader | WithFooter
    bool listed_ = false;      // in the owner's page list
    bool hostObjects_ = false; // holds objects of kinds the host defined

public:
    Extended Width = 0;  // inches, unordered
    Extended Height = 0; // inches, unordered
};

class PAGINOR_EXPORT TKpPageList {
public:
    explicit TKpPageList(TKpDocument* owner);
    ~TKpPageList();
    TKpPageList(const TKpPageList&) = delete;
    TKpPageList& operator=(const TKpPageList&) = delete;

    int Count() const { return static_cast<int>(pages_.size()); }
    // The page with number n (from 1); EListError outside the range.
    TKpPage* GetPage(int number) const;
    // Sets every page's PageNum to its position, from 1.
    void Renumber();
    // Appends an empty page numbered the new count.
    TKpPage* AddPage();
    // Frees all pages from the last to the first, then fires the document's OnClear.
    void Clear();
    // Frees page number; outside the document's Clear the rest are renumbered and the
    // document's OnDeletePage fires.
    void DeletePage(int number);
    // Where the drawing objects of the document's pages are made.
    TKpObjectPool& Pool() { return pool_; }
    // How many pages are landscape, kept as pages come, go and turn (a print job asks at
    // every sheet).
    int LandscapeCount() const { return landscapeCount_; }
    // Changes whenever a page is added, deleted or emptied: a view that remembers it can
    // tell that the pages it shows are no longer the document's.
    uint32_t Revision() const { return revision_; }

private:
    friend class TKpPage;
    // Takes the page out of the count; it stays alive but belongs to no list.
    void detach(TKpPage& page);

    int landscapeCount_ = 0;
    uint32_t revision_ = 0;
    // Declared before the pages: it outlives every object in them.
    TKpObjectPool pool_;
    std::vector<std::unique_ptr<TKpPage>> pages_;
    TKpDocument* owner_;
};

} // namespace kp
