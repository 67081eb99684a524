// Printing the listing shown in the grid.

#include "base/log.h"
#include "forms/grid.h"
#include "forms/widgets.h"
#include "inspect/listing.h"
#include "inspect/printing.h"

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
        return;
    }
    // The orientation goes back to portrait whatever happens below.
    struct Portrait {
        Printer& p;
        ~Portrait() { p.setLandscape(false); }
    } portrait{*printer};
    // Reading a cell makes it the grid's current cell, as the classic grid does.
    const GridSource source{gridRowCount, [this](int row, int col) {
                                         c_.MSHFlexGrid1->setRow(row);
                                         c_.MSHFlexGrid1->setCol(col);
                                         return c_.MSHFlexGrid1->text();
                                     }};
    printListing(*printer, source);
    const bool sent = printer->endDoc(reason);
    forms::setScreenPointer(forms::vbDefault);
    if (!sent) {
        qCInfo(base::lcListing).noquote() << "the listing was not printed:" << reason;
        forms::msgBox(reason, forms::vbOKOnly | forms::vbExclamation);
    }
}

void Listing::cmdPrintGrid_Click() { printLicenceGrid(); }
void Listing::mnuPrint_Click() { printLicenceGrid(); }

}  // namespace inspect
