// Printing the listing shown in the grid: on the default printer, or, when
// there is none, to a PDF file the user chooses.

#include "base/log.h"
#include "forms/grid.h"
#include "forms/widgets.h"
#include "inspect/listing.h"
#include "inspect/printing.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace inspect {

void Listing::printLicenceGrid()
{
    const forms::BusyPointer busy;  // the default pointer comes back however the work ends
    std::unique_ptr<Printer> printer = printerFactory ? printerFactory() : std::make_unique<QtPrinter>();
    QString reason;
    if (!printer->begin(reason)) {
        qCInfo(base::lcListing).noquote() << "the listing cannot be printed:" << reason;
        forms::setScreenPointer(forms::vbDefault);
        forms::msgBox(reason, forms::vbOKOnly | forms::vbExclamation);
        printToPdfInstead();
        return;
    }
    bool sent = false;
    printTo(*printer, reason, sent);
    forms::setScreenPointer(forms::vbDefault);
    if (!sent) {
        qCInfo(base::lcListing).noquote() << "the listing was not printed:" << reason;
        forms::msgBox(reason, forms::vbOKOnly | forms::vbExclamation);
    }
}

void Listing::printTo(Printer& printer, QString& reason, bool& sent)
{
    // The orientation goes back to portrait whatever happens below.
    struct Portrait {
        Printer& p;
        ~Portrait() { p.setLandscape(false); }
    } portrait{printer};
    // Reading a cell makes it the grid's current cell, as the classic grid does.
    const GridSource source{gridRowCount, [this](int row, int col) {
                                c_.MSHFlexGrid1->setRow(row);
                                c_.MSHFlexGrid1->setCol(col);
                                return c_.MSHFlexGrid1->text();
                            }};
    printListing(printer, source);
    sent = printer.endDoc(reason);
}

bool Listing::printToPdfInstead()
{
    if (forms::msgBox(QStringLiteral("Save the listing as a PDF file instead?"), forms::vbYesNo | forms::vbQuestion) !=
        forms::vbYes)
        return false;
    const QString path = forms::chooseSaveFile(QStringLiteral("Save the Listing as PDF"), QStringLiteral("listing.pdf"),
                                               QStringLiteral("PDF files (*.pdf);;All files (*)"));
    if (path.isEmpty())
        return false;
    // The pages go to a file of their own in the same folder, which takes
    // the file's name once they are all there: never half a file.
    QTemporaryFile pages(QFileInfo(path).absoluteDir().filePath(QStringLiteral(".listing-XXXXXX.pdf")));
    QString reason;
    bool sent = false;
    if (!pages.open()) {
        reason = pages.errorString();
    } else {
        pages.close();
        const forms::BusyPointer busy;
        QtPrinter pdf(pages.fileName());
        if (pdf.begin(reason))
            printTo(pdf, reason, sent);
        if (sent && std::rename(QFile::encodeName(pages.fileName()).constData(), QFile::encodeName(path).constData()) != 0) {
            reason = QString::fromLocal8Bit(std::strerror(errno));
            sent = false;
        }
        if (sent)
            pages.setAutoRemove(false);  // it is the user's file now
    }
    if (!sent)
        reportWriteFailure(path, reason);
    return sent;
}

void Listing::cmdPrintGrid_Click() { printLicenceGrid(); }
void Listing::mnuPrint_Click() { printLicenceGrid(); }

}  // namespace inspect
