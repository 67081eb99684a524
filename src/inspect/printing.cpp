#include "inspect/printing.h"

#include "forms/core.h"
#include "base/numbers.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <cmath>

namespace inspect {

QString fieldText(const QString& text, int width)
{
    if (text.size() > width)
        return text.left(width);
    return text.rightJustified(width, QLatin1Char(' '));
}

namespace {

std::optional<double> cellNumber(const QString& cell) { return base::numberValue(cell); }

QString wholeNumber(double v)
{
    const double r = std::nearbyint(v);
    return r == 0 ? QString() : QString::number(qint64(r));
}

}  // namespace

QString frequencyField(const QString& cell)
{
    const std::optional<double> v = cellNumber(cell);
    return fieldText(v ? base::sixDecimalTextWithZero(*v) : cell, 13);
}

QString licenceField(const QString& cell)
{
    const std::optional<double> v = cellNumber(cell);
    return fieldText(v ? wholeNumber(*v) : QString(), 6);
}

QString managementRightField(const QString& cell)
{
    const std::optional<double> v = cellNumber(cell);
    return fieldText(v ? wholeNumber(*v) : QString(), 4);
}

QString cutText(const QString& text, int keep, int limit)
{
    const QString t = base::trimBlanks(text);
    if (t.size() > limit)
        return t.left(keep) + QStringLiteral("....");
    return t;
}

QString pageLine(int page, int pages)
{
    if (page == 1)
        return QStringLiteral("Page 1 of  ") + base::plainText(pages);
    return QStringLiteral("Page  ") + base::plainText(page) + QStringLiteral(" of  ") + base::plainText(pages);
}

namespace {

std::vector<PrintItem> headingLine(int mrColumn)
{
    return {{1, "Low(MHz)"}, {19, "High(MHz)"}, {34, "Channel"}, {50, "Site Name"},
            {98, "F/O"},     {105, "Licence"},  {mrColumn, "M/R"}, {130, "Licensee"}};
}

}  // namespace

void printListing(Printer& p, const GridSource& grid)
{
    p.setLandscape(true);
    p.setFont(QStringLiteral("Times New Roman"), 9);
    p.setCurrentY(300);
    const int n = grid.rowCount - 1;
    const int pages = int(std::floor(n / 50.0)) + 1;
    if (grid.rowCount > 50) {
        p.setItalic(true);
        p.printLine({{180, pageLine(1, pages)}});
        p.setItalic(false);
    }
    p.setBold(true);
    p.printLine(headingLine(115));
    p.setBold(false);
    p.printLine({});
    for (int i = 1; i <= grid.rowCount - 1; ++i) {
        p.printLine({{1, frequencyField(grid.cell(i, 1))},
                     {20, frequencyField(grid.cell(i, 2))},
                     {36, grid.cell(i, 3)},
                     {50, cutText(grid.cell(i, 4), 30, 30)},
                     {104, grid.cell(i, 5)},
                     {113, licenceField(grid.cell(i, 6))},
                     {122, managementRightField(grid.cell(i, 7))},
                     {130, cutText(grid.cell(i, 8), 51, 55)}});
        if (i % 50 == 0) {
            p.newPage();
            p.setCurrentY(300);
            p.setItalic(true);
            p.printLine({{180, pageLine(i / 50 + 1, pages)}});
            p.setItalic(false);
            p.setBold(true);
            p.printLine(headingLine(114));
            p.setBold(false);
            p.printLine({});
        }
    }
}

// --- RecordingPrinter ---

bool RecordingPrinter::begin(QString& reason)
{
    if (failToBegin) {
        reason = QStringLiteral("No printer is available");
        return false;
    }
    return true;
}

void RecordingPrinter::setFont(const QString& name, double points)
{
    fontName = name;
    fontPoints = points;
}

void RecordingPrinter::printLine(const std::vector<PrintItem>& items)
{
    if (landscape_)
        landscapeWhilePrinting = true;
    if (int(pageTops.size()) < page_)
        pageTops.push_back(y_);
    lines.push_back({page_, bold_, italic_, items});
}

bool RecordingPrinter::endDoc(QString&)
{
    ended = true;
    return true;
}

// --- QtPrinter ---

namespace {

// The average character width of a font as the classic printer measures
// columns: the width of the lower-case letters and the blank, weighted by
// how often they occur in English text.
double averageCharWidth(const QFontMetricsF& fm)
{
    static const int weights[27] = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3, 6, 35, 20, 56,
                                    56, 17, 4,  49, 56,  71, 31, 10, 18, 3, 18, 2, 166};
    double sum = 0;
    int total = 0;
    for (int k = 0; k < 27; ++k) {
        const QChar c = k < 26 ? QChar(char16_t('a' + k)) : QChar(u' ');
        sum += fm.horizontalAdvance(c) * weights[k];
        total += weights[k];
    }
    return sum / total;
}

}  // namespace

QtPrinter::QtPrinter(const QString& pdfFile)
{
    if (pdfFile.isEmpty()) {
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (!info.isNull())
            printer_ = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    } else {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer_->setOutputFormat(QPrinter::PdfFormat);
        printer_->setOutputFileName(pdfFile);
    }
}

QtPrinter::~QtPrinter()
{
    if (painter_ && painter_->isActive())
        painter_->end();
}

bool QtPrinter::begin(QString& reason)
{
    if (!printer_) {
        reason = QStringLiteral("No printer is available");
        return false;
    }
    return true;
}

void QtPrinter::setLandscape(bool l)
{
    if (!printer_)
        return;
    if (!painter_)
        printer_->setPageOrientation(l ? QPageLayout::Landscape : QPageLayout::Portrait);
}

bool QtPrinter::landscape() const
{
    return printer_ && printer_->pageLayout().orientation() == QPageLayout::Landscape;
}

void QtPrinter::applyFont()
{
    if (!painter_)
        return;
    QFont f = forms::standInFont(fontName_, points_, bold_, italic_);
    painter_->setFont(f);
}

void QtPrinter::setFont(const QString& name, double points)
{
    fontName_ = name;
    points_ = points;
    applyFont();
}

void QtPrinter::setBold(bool b)
{
    bold_ = b;
    applyFont();
}

void QtPrinter::setItalic(bool i)
{
    italic_ = i;
    applyFont();
}

void QtPrinter::setCurrentY(double twips)
{
    const double dpi = printer_ ? printer_->resolution() : 1200;
    y_ = twips * dpi / 1440.0;
}

void QtPrinter::printLine(const std::vector<PrintItem>& items)
{
    if (!printer_)
        return;
    if (!painter_) {
        painter_ = std::make_unique<QPainter>();
        if (!painter_->begin(printer_.get())) {
            painter_.reset();
            return;
        }
        applyFont();
    }
    const QFontMetricsF fm(painter_->font(), printer_.get());
    const double cell = averageCharWidth(fm);
    double x = 0;
    for (const PrintItem& item : items) {
        const double at = item.column * cell;
        if (x > at) {
            y_ += fm.height();
            x = 0;
        }
        painter_->drawText(QPointF(at, y_ + fm.ascent()), item.text);
        x = at + fm.horizontalAdvance(item.text);
    }
    y_ += fm.height();
}

void QtPrinter::newPage()
{
    if (printer_ && painter_)
        printer_->newPage();
}

bool QtPrinter::endDoc(QString& reason)
{
    if (!printer_) {
        reason = QStringLiteral("No printer is available");
        return false;
    }
    if (!painter_) {
        // Nothing drawn yet: the job still goes out as a page.
        painter_ = std::make_unique<QPainter>();
        if (!painter_->begin(printer_.get())) {
            reason = QStringLiteral("The printer could not be opened");
            painter_.reset();
            return false;
        }
    }
    const bool ok = painter_->end();
    painter_.reset();
    if (!ok)
        reason = QStringLiteral("The print job failed");
    return ok;
}

}  // namespace inspect
