#pragma once
// The widget-free half of the report engine: lays a report Document
// (reportlayout.h) out on A4 and draws it with QPainter onto any paged device,
// or writes it straight into a PDF file. Needs Qt Gui only; printing and the
// print preview (reportengine.h) build on it.
//
//   writePdf(doc, path)          the whole report into a PDF file (tests, "save as PDF")
//   paint(doc, painter, device)  every page onto a paged device the caller has begun
//   pageCount(doc)               the number of pages on A4
//
// Every page carries the title, the period, the company name and the header items
// at its top and "page / pages" at its foot. Texts use the Japanese faces
// IPAexGothic (body) and IPAexMincho (titles), embedded into PDFs.

#include <QPageLayout>
#include <QString>

#include "platform/reportlayout.h"

class QPainter;
class QPagedPaintDevice;

namespace platform::report {

// Makes the Japanese faces available to Qt (loads the font files when the
// system's font list lacks them). Called by every drawing entry point.
void ensureFonts();

// Lays the document out on the painter's device (begun by the caller) and draws
// every page, starting a new device page between pages. Returns the page count.
int paint(const Document& doc, QPainter& painter, QPagedPaintDevice& device);

// Number of pages the document takes on A4 in its orientation.
int pageCount(const Document& doc);

// Writes the document to a PDF file (A4, fonts embedded). The file is written
// under a temporary name and renamed into place when complete. On failure
// returns false with the reason in *error.
bool writePdf(const Document& doc, const QString& path, QString* error = nullptr);

// A4 without margins in the orientation: the page every device gets.
QPageLayout a4Layout(Orientation o);

}  // namespace platform::report
