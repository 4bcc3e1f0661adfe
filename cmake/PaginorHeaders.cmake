# The public API: the headers a host includes, and those they include in turn. Only these are
# installed; every other header of the library is internal (its exported symbols, marked
# PAGINOR_INTERNAL_EXPORT, serve the tests and the programs built here).
set(PAGINOR_PUBLIC_HEADERS
  platform/KpColor.h platform/KpDeviceCanvas.h platform/KpFontTexts.h platform/KpGraphics.h
  platform/KpMath.h platform/KpPaperEnums.h platform/KpPicture.h platform/KpPrintState.h
  platform/KpPrinterDevice.h platform/KpPropertyEnums.h platform/KpScreen.h
  drawing/KpCanvas.h drawing/KpDocument.h drawing/KpDocumentMarks.h drawing/KpDrawContext.h
  drawing/KpExtended.h drawing/KpFind.h drawing/KpHeaderFooter.h drawing/KpMargins.h
  drawing/KpMessages.h drawing/KpObjectPool.h
  drawing/KpObjects.h drawing/KpPage.h drawing/KpSharedStyle.h drawing/KpStream.h
  drawing/KpUnits.h
  printing/KpErrors.h printing/KpPdfExport.h printing/KpPrinter.h printing/KpPrintJob.h
  preview/KpCursors.h preview/KpMouseState.h preview/KpPageImage.h preview/KpPageLayout.h
  preview/KpPreview.h
  preview/KpPropertyEnums.h preview/KpTypes.h
  selectors/KpMultipageImage.h selectors/KpPrinterList.h
  thumbnails/KpThumbnails.h
  content/KpContentPrinter.h content/KpCsv.h content/KpGridLayout.h content/KpGridPrint.h
  content/KpGridSource.h content/KpImageList.h content/KpLabelLayout.h content/KpLabelPrinter.h
  content/KpLabelTemplates.h content/KpModelGrid.h content/KpModelTree.h content/KpRtfPreview.h
  content/KpStringGrid.h content/KpTextGrid.h content/KpTextInput.h content/KpTreeList.h
  content/KpTreeSource.h content/KpTreeView.h content/KpTreeViewPrint.h
  richtext/KpFormatRange.h richtext/KpRichEdit.h richtext/KpRtfReader.h)
