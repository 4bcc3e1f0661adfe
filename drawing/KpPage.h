#pragma once
// A page: an ordered list of owned drawing objects, its orientation, paper size in inches,
// and the picture it renders of itself at screen resolution. The page list owns the pages.
#include "paginor/KpExport.h"

#include <cstdint>
#include <memory>
#include <vector>

#include "drawing/KpObjects.h"
#include "drawing/KpUnits.h"
#include "platform/KpPicture.h"

class TKpPreview;
class TKpExtStream;

// The list's own range error ("List index out of bounds (%d)").
class PAGINOR_EXPORT EListError : public std::out_of_range {
public:
    explicit EListError(int index);
    int Index;
};

class PAGINOR_EXPORT TKpPage {
public:
    explicit TKpPage(TKpPreview* owner);
    ~TKpPage();
    TKpPage(const TKpPage&) = delete;
    TKpPage& operator=(const TKpPage&) = delete;

    int Count() const { return static_cast<int>(objects_.size()); }
    // The object at index (from 0); EListError outside the range.
    TKpBaseObject* Objects(int index) const;
    // Appends and takes ownership; returns the index. No picture update, no event.
    int AddObject(std::unique_ptr<TKpBaseObject> object);
    // Frees the objects from the last to the first; the picture is not updated.
    void Clear();
    // A change re-renders the picture and fires the preview's OnChangePageOrientation.
    void SetOrientation(TKpOrientation value);
    TKpOrientation Orientation() const { return orientation_; }
    // Re-renders the picture from the objects, header and footer.
    void UpdateMetafile();

    void SaveToStream(TKpExtStream& stream) const;
    void LoadFromStream(TKpExtStream& stream, Extended fileVersion);

    TKpMetafile& Metafile() { return *metafile_; }
    TKpPreview* Owner() const { return owner_; }

    int32_t PageNum = 0;
    Extended Width = 0;   // inches, unordered
    Extended Height = 0;  // inches, unordered
    // Stores the orientation without rendering or notifying (document loading).
    void SetOrientationField(TKpOrientation value) { orientation_ = value; }

private:
    std::vector<std::unique_ptr<TKpBaseObject>> objects_;
    std::unique_ptr<TKpMetafile> metafile_;
    TKpOrientation orientation_ = kpPortrait;
    TKpPreview* owner_;
};

class PAGINOR_EXPORT TKpPageList {
public:
    explicit TKpPageList(TKpPreview* owner);
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
    // Frees all pages from the last to the first, then fires the preview's OnClear.
    void Clear();
    // Frees page number; outside the preview's Clear the rest are renumbered and the preview's
    // OnDeletePage fires.
    void DeletePage(int number);

private:
    std::vector<std::unique_ptr<TKpPage>> pages_;
    TKpPreview* owner_;
};
