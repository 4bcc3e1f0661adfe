#pragma once
// The Qt Designer plugin: one widget description per visual component, collected in the
// "Paginor" group of Designer's widget box.
#include <functional>

#include <QIcon>
#include <QObject>
#include <QString>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

// What Designer needs to know about one component.
struct TKpDesignerComponent {
    QString ClassName;
    QString IncludeFile;
    QString ToolTip;
    QSize DefaultSize;
    std::function<QWidget*(QWidget* parent)> Create;
    QIcon Icon;
};

class TKpDesignerWidget : public QObject, public QDesignerCustomWidgetInterface {
    Q_OBJECT
    Q_INTERFACES(QDesignerCustomWidgetInterface)
public:
    TKpDesignerWidget(TKpDesignerComponent component, QObject* parent);

    QString name() const override { return component_.ClassName; }
    QString group() const override { return QStringLiteral("Paginor"); }
    QString toolTip() const override { return component_.ToolTip; }
    QString whatsThis() const override { return component_.ToolTip; }
    QString includeFile() const override { return component_.IncludeFile; }
    QIcon icon() const override { return component_.Icon; }
    bool isContainer() const override { return false; }
    QWidget* createWidget(QWidget* parent) override { return component_.Create(parent); }
    bool isInitialized() const override { return initialized_; }
    void initialize(QDesignerFormEditorInterface*) override { initialized_ = true; }
    QString domXml() const override;

private:
    TKpDesignerComponent component_;
    bool initialized_ = false;
};

class TKpDesignerPlugin : public QObject, public QDesignerCustomWidgetCollectionInterface {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetCollectionInterface")
    Q_INTERFACES(QDesignerCustomWidgetCollectionInterface)
public:
    explicit TKpDesignerPlugin(QObject* parent = nullptr);
    QList<QDesignerCustomWidgetInterface*> customWidgets() const override { return widgets_; }

private:
    QList<QDesignerCustomWidgetInterface*> widgets_; // children of the plugin
};

// The components' widget-box icons, painted (a sheet, a strip, a printer, four pages).
QIcon KpPreviewIcon();
QIcon KpThumbnailsIcon();
QIcon KpPrinterListIcon();
QIcon KpMultipageImageIcon();
