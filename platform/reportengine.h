#pragma once
// The report engine's printing and preview: hands a report Document
// (reportlayout.h), drawn by reportpaint.h, to a printer or a print preview.
//
//   print(doc, printerName)      straight to a printer, no dialog
//   showPreview(doc, options)    a non-modal, maximised preview window with a print
//                                button and "save as PDF"
//
// A document is a snapshot: build it from the work tables first, then hand it
// here. The preview keeps its own copy, so it shows the same pages however the
// tables change while it is open.

#include <QList>
#include <QPrintPreviewDialog>

class QGraphicsView;
#include <QString>
#include <QStringList>
#include <memory>

#include "platform/reportlayout.h"
#include "platform/reportpaint.h"

class QPrinter;

namespace platform::report {

// Names of the printers the system offers (empty when there is none).
QStringList printerNames();

enum class PrintResult {
    Printed,
    NoPrinter,  // the system has no printer at all
    Failed,     // the printer could not be opened for drawing
};

// Prints the document without a dialog: to the named printer when the system
// has it, otherwise to the system's default printer.
PrintResult print(const Document& doc, const QString& printerName = QString());

struct PreviewOptions {
    // The printer the preview's print button prints to (empty: system default).
    QString printerName;
    // Title of the preview's message boxes.
    QString messageTitle;
};

// A print preview of one document: non-modal, maximised, deleted when closed.
// Its toolbar has Qt's print button and a "PDFで保存" button.
class Preview : public QPrintPreviewDialog {
    Q_OBJECT
public:
    Preview(std::shared_ptr<const Document> doc, const PreviewOptions& options, QWidget* parent = nullptr);
    ~Preview() override;

    const Document& document() const { return *doc_; }
    // Pages currently laid out in the preview.
    int previewPageCount() const;
    // Writes the previewed document to a PDF file (the "PDFで保存" button asks
    // for the name and then calls this).
    bool saveAsPdf(const QString& path);

    // Previews that are open now, oldest first.
    static QList<Preview*> openPreviews();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void paintPages(QPrinter* printer);
    void askAndSaveAsPdf();
    void keepTopAfterFit();

private:
    std::shared_ptr<const Document> doc_;
    PreviewOptions options_;
    QGraphicsView* view_ = nullptr;  // the preview widget's view of the pages
    bool keepTop_ = true;            // the next fit keeps the top of the pages in view
};

// Opens a preview of the document and returns it (owned by Qt: deleted when the
// user closes it).
Preview* showPreview(std::shared_ptr<const Document> doc, const PreviewOptions& options = {},
                     QWidget* parent = nullptr);

}  // namespace platform::report
