// The Qt Designer plugin as Designer uses it: loaded from its file, each component created
// through its factory with the published defaults.
#include <gtest/gtest.h>

#include <QPluginLoader>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#include <QWidget>

#include <map>
#include <memory>

#ifdef PAGINOR_DESIGNER_PLUGIN
namespace {
QDesignerCustomWidgetCollectionInterface* loadCollection() {
    static QPluginLoader loader(QStringLiteral(PAGINOR_DESIGNER_PLUGIN));
    return qobject_cast<QDesignerCustomWidgetCollectionInterface*>(loader.instance());
}
} // namespace

TEST(DesignerPlugin, OffersTheComponentsInOneGroup) {
    QPluginLoader loader(QStringLiteral(PAGINOR_DESIGNER_PLUGIN));
    ASSERT_NE(loader.instance(), nullptr) << loader.errorString().toStdString();
    auto* collection = loadCollection();
    ASSERT_NE(collection, nullptr);
    std::map<QString, QString> includes;
    for (auto* widget : collection->customWidgets()) {
        EXPECT_EQ(widget->group(), "Paginor");
        EXPECT_FALSE(widget->icon().isNull()) << widget->name().toStdString();
        EXPECT_FALSE(widget->isContainer());
        EXPECT_TRUE(widget->domXml().contains("class=\"" + widget->name() + "\""));
        includes[widget->name()] = widget->includeFile();
    }
    EXPECT_EQ(includes["kp::TKpPreview"], "preview/KpPreview.h");
    EXPECT_EQ(includes["kp::TKpThumbnails"], "thumbnails/KpThumbnails.h");
    EXPECT_EQ(includes["kp::TKpPrinterList"], "selectors/KpPrinterList.h");
    EXPECT_EQ(includes["kp::TKpMultipageImage"], "selectors/KpMultipageImage.h");
    EXPECT_EQ(includes.size(), 4u);
}

// Each factory makes a widget of its class whose properties read their published defaults.
TEST(DesignerPlugin, FactoriesMakeWidgetsWithTheirDefaults) {
    const std::map<QString, std::map<const char*, QVariant>> defaults = {
        {"kp::TKpPreview",
         {{"About", "TKpPreview v2.42"},
          {"Zoom", 20},
          {"MinZoom", 10},
          {"MaxZoom", 400},
          {"ZoomIncrement", 10},
          {"Gutter", 30},
          {"PrintCopies", 1},
          {"PaperSize", 1},
          {"Orientation", 0},
          {"PagesPerSheet", 0},
          {"ZoomStyle", 0},
          {"ViewMode", 0},
          {"BorderStyle", 1}}},
        {"kp::TKpThumbnails",
         {{"About", "TKpThumbnails v2.42"},
          {"GridWidth", 4},
          {"ThumbSize", 4},
          {"PageCaptions", "Page #"},
          {"Highlight", true},
          {"ShowCaption", true},
          {"ShowProgress", false},
          {"ScrollIntoView", true},
          {"UpdateWhileLoading", false},
          {"Enabled", true},
          {"Layout", 0},
          {"BorderStyle", 1}}},
        {"kp::TKpPrinterList", {{"About", "TKpPrinterList v2.42"}}},
        {"kp::TKpMultipageImage",
         {{"About", "TKpMultipageImage v2.42"},
          {"PagesPerSheet", 0},
          {"ShowButtons", true},
          {"ShowHeaderFooter", true}}},
    };
    auto* collection = loadCollection();
    ASSERT_NE(collection, nullptr);
    QWidget form;
    for (auto* component : collection->customWidgets()) {
        SCOPED_TRACE(component->name().toStdString());
        std::unique_ptr<QWidget> widget(component->createWidget(&form));
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->metaObject()->className(), component->name());
        EXPECT_EQ(widget->parentWidget(), &form);
        const auto expected = defaults.find(component->name());
        ASSERT_NE(expected, defaults.end());
        for (const auto& [name, value] : expected->second) {
            const QVariant actual = widget->property(name);
            ASSERT_TRUE(actual.isValid()) << name;
            if (value.typeId() == QMetaType::Int)
                EXPECT_EQ(actual.toInt(), value.toInt()) << name;
            else
                EXPECT_EQ(actual, value) << name;
        }
    }
}
#else
TEST(DesignerPlugin, NotBuilt) {
    GTEST_SKIP() << "Qt Designer development files were not found; no plugin was built";
}
#endif
