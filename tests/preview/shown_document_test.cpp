// A preview showing a document a host made: the preview's calls reach it, its changes reach
// the preview's events and linked controls, and the preview goes back to its own document
// when the host's is destroyed.
#include <gtest/gtest.h>

#include <memory>
#include <QWidget>

#include "drawing/KpCanvas.h"
#include "drawing/KpDocument.h"
#include "message_log.h"
#include "preview/KpPageImage.h"
#include "preview/KpPreview.h"

using namespace kp;

TEST(ShownDocument, PreviewShowsAHostDocumentUntilItGoes) {
    QWidget window;
    auto* preview = new TKpPreview(&window);
    MessageLog linked;
    preview->AddLinkedControl(&linked);
    TKpDocument& own = preview->Document();
    auto host = std::make_unique<TKpDocument>();
    host->NewPage();
    host->NewPage();

    preview->SetDocument(host.get());
    EXPECT_EQ(&preview->Document(), host.get());
    EXPECT_EQ(preview->NumPages(), 3);
    EXPECT_EQ(preview->PageImage().Metafile(), &host->GetPage(3)->Metafile());
    EXPECT_EQ(linked.count(KPM_PAGESCLEARED), 1);
    EXPECT_EQ(linked.count(KPM_PAGECHANGED), 1);

    // The host's changes are the preview's events, sent by the preview; the document's own
    // events name the document.
    void* previewSender = nullptr;
    void* documentSender = nullptr;
    preview->OnNewPage = [&](void* sender) { previewSender = sender; };
    host->OnNewPage = [&](void* sender) { documentSender = sender; };
    host->NewPage();
    EXPECT_EQ(previewSender, preview);
    EXPECT_EQ(documentSender, host.get());
    EXPECT_EQ(preview->CurrentPage(), 4);
    EXPECT_EQ(preview->PageImage().Metafile(), &host->GetPage(4)->Metafile());

    host.reset();
    EXPECT_EQ(&preview->Document(), &own);
    EXPECT_EQ(preview->NumPages(), 1);
    EXPECT_EQ(preview->PageImage().Metafile(), &own.GetPage(1)->Metafile());
    preview->SetDocument(nullptr);
    EXPECT_EQ(&preview->Document(), &own);
}
