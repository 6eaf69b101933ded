#include "platform/reportengine.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QGraphicsView>
#include <QGuiApplication>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QToolBar>
#include <utility>

#include "platform/msgbox.h"

namespace platform::report {

namespace {

QList<Preview*>& previews() {
    static QList<Preview*> list;
    return list;
}

}  // namespace

QStringList printerNames() {
    return QPrinterInfo::availablePrinterNames();
}

PrintResult print(const Document& doc, const QString& printerName) {
    const QList<QPrinterInfo> printers = QPrinterInfo::availablePrinters();
    if (printers.isEmpty()) return PrintResult::NoPrinter;
    QPrinterInfo info;
    if (!printerName.isEmpty()) info = QPrinterInfo::printerInfo(printerName);
    if (info.isNull()) info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) info = printers.first();

    QPrinter printer(info, QPrinter::HighResolution);
    printer.setFullPage(true);
    printer.setPageLayout(a4Layout(doc.orientation));
    printer.setDocName(doc.title.isEmpty() ? doc.name : doc.title);
    QPainter painter;
    if (!painter.begin(&printer)) return PrintResult::Failed;
    paint(doc, painter, printer);
    return painter.end() ? PrintResult::Printed : PrintResult::Failed;
}

// ------------------------------------------------------------------ preview

Preview::Preview(std::shared_ptr<const Document> doc, const PreviewOptions& options, QWidget* parent)
    : QPrintPreviewDialog(parent), doc_(std::move(doc)), options_(options) {
    previews().append(this);
    setObjectName(QStringLiteral("Preview_") + doc_->name);
    setWindowTitle(doc_->title + QStringLiteral(" - 印刷プレビュー"));
    setWindowModality(Qt::NonModal);
    setAttribute(Qt::WA_DeleteOnClose);

    QPrinter* p = printer();
    if (!options_.printerName.isEmpty() && printerNames().contains(options_.printerName)) {
        p->setPrinterName(options_.printerName);
    }
    p->setFullPage(true);
    p->setPageLayout(a4Layout(doc_->orientation));
    p->setDocName(doc_->title.isEmpty() ? doc_->name : doc_->title);
    connect(this, &QPrintPreviewDialog::paintRequested, this, &Preview::paintPages);

    if (QToolBar* bar = findChild<QToolBar*>()) {
        bar->addSeparator();
        QAction* save = bar->addAction(QStringLiteral("PDFで保存"));
        save->setObjectName(QStringLiteral("actionSaveAsPdf"));
        save->setToolTip(QStringLiteral("表示中のレポートをPDFファイルに保存します。"));
        connect(save, &QAction::triggered, this, &Preview::askAndSaveAsPdf);
    }

    if (auto* widget = findChild<QPrintPreviewWidget*>()) {
        view_ = widget->findChild<QGraphicsView*>();
        if (view_) view_->installEventFilter(this);
        connect(widget, &QPrintPreviewWidget::previewChanged, this, &Preview::keepTopAfterFit);
    }
}

// The preview widget keeps the centre of its view when it fits the page to a
// new width, so a preview laid out at one size and then maximised would show
// the middle of the first page, its title out of sight. A view that shows the
// top of the pages when it is resized shows it again after the fit; the first
// layout of the pages starts there.
bool Preview::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_ && event->type() == QEvent::Resize) {
        const QScrollBar* bar = view_->verticalScrollBar();
        keepTop_ = keepTop_ || bar->value() == bar->minimum();
        // A resize that fits nothing must not pull a later scroll back.
        QTimer::singleShot(0, this, [this] { keepTop_ = false; });
    }
    return QPrintPreviewDialog::eventFilter(watched, event);
}

void Preview::keepTopAfterFit() {
    if (!std::exchange(keepTop_, false) || !view_) return;
    view_->verticalScrollBar()->setValue(view_->verticalScrollBar()->minimum());
}

Preview::~Preview() {
    previews().removeAll(this);
}

QList<Preview*> Preview::openPreviews() {
    return previews();
}

int Preview::previewPageCount() const {
    const QPrintPreviewWidget* w = findChild<QPrintPreviewWidget*>();
    return w ? w->pageCount() : 0;
}

void Preview::paintPages(QPrinter* printer) {
    QPainter painter;
    if (!painter.begin(printer)) return;
    paint(*doc_, painter, *printer);
    painter.end();
}

bool Preview::saveAsPdf(const QString& path) {
    return writePdf(*doc_, path);
}

void Preview::askAndSaveAsPdf() {
    const QString suggested = (doc_->title.isEmpty() ? doc_->name : doc_->title) + QStringLiteral(".pdf");
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("PDFで保存"), suggested,
                                                QStringLiteral("PDF (*.pdf)"));
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().compare(QStringLiteral("pdf"), Qt::CaseInsensitive) != 0) {
        path += QStringLiteral(".pdf");
    }
    QString error;
    if (!writePdf(*doc_, path, &error)) {
        MsgBox::show(options_.messageTitle,
                     QStringLiteral("PDFファイルの保存中にエラーが発生しました。\n") + error,
                     MsgIcon::Warning);
    }
}

Preview* showPreview(std::shared_ptr<const Document> doc, const PreviewOptions& options, QWidget* parent) {
    ensureFonts();
    auto* preview = new Preview(std::move(doc), options, parent);
    // Most of the work area before it is maximised: where no window manager
    // maximises it, the dialog would otherwise open at its small default size
    // with the page shrunk to fit it.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        const int dx = area.width() / 20, dy = area.height() / 20;
        preview->setGeometry(area.adjusted(dx, dy, -dx, -dy));
    }
    // The whole width of the page, readable, rather than the whole page tiny;
    // chosen before the pages are laid out, so that they are laid out once.
    if (auto* fitWidth = preview->findChild<QAction*>(QStringLiteral("fitWidthAction"))) {
        fitWidth->trigger();
    } else if (auto* widget = preview->findChild<QPrintPreviewWidget*>()) {
        widget->fitToWidth();
    }
    preview->showMaximized();
    return preview;
}

}  // namespace platform::report
