#pragma once
// The headers, footers and footnotes of a document laid out like its body: copies on the
// print layout's device, at the frame's width, drawn onto the page pictures with the page's
// numbers (see KpPageStories.h for where they come from).
#include <functional>
#include <memory>
#include <unordered_map>

#include "richtext/KpPageDecorations.h"
#include "richtext/KpPageStories.h"

class QPainter;
class QPaintDevice;
class QTextDocument;

namespace kp {

// Makes `doc` ready for the print layout on `device` (1,440 units per inch): no page size,
// no margin, design metrics, indents in device units.
void PrepareForPrintLayout(QTextDocument& doc, QPaintDevice& device);

class TKpStoryLayout {
public:
    TKpStoryLayout(std::shared_ptr<const TKpPageStories> stories, QPaintDevice& device);
    ~TKpStoryLayout();
    TKpStoryLayout(const TKpStoryLayout&) = delete;
    TKpStoryLayout& operator=(const TKpStoryLayout&) = delete;

    const TKpPageStories& Stories() const { return *stories_; }
    // Lays every copy out `width` twips wide.
    void SetWidth(int width);
    double Height(const QTextDocument& story);
    // Draws the story with its top-left corner at (0, top) of `page`, a painter in the page's
    // twips.
    void Draw(QPainter& page, const QTextDocument& story, double top,
              const std::function<TKpPageNumbers()>& numbers);

private:
    QTextDocument& copy(const QTextDocument& story);

    std::shared_ptr<const TKpPageStories> stories_;
    QPaintDevice& device_;
    std::unordered_map<const QTextDocument*, std::unique_ptr<QTextDocument>> copies_;
    int width_ = 1;
};

} // namespace kp
