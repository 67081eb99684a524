// Printing the listing shown in the grid.

#include "inspect/printing.h"
#include "shell/frmspectrum.h"

namespace shell {

void FrmSpectrum::printLicenceGrid()
{
    const forms::BusyPointer busy;  // the default pointer comes back however the work ends
    std::unique_ptr<inspect::Printer> printer =
        printerFactory ? printerFactory() : std::make_unique<inspect::QtPrinter>();
    QString reason;
    if (!printer->begin(reason)) {
        forms::setScreenPointer(forms::vbDefault);
        forms::msgBox(reason, forms::vbOKOnly | forms::vbExclamation);
        return;
    }
    // The orientation goes back to portrait whatever happens below.
    struct Portrait {
        inspect::Printer& p;
        ~Portrait() { p.setLandscape(false); }
    } portrait{*printer};
    // Reading a cell makes it the grid's current cell, as the classic grid does.
    const inspect::GridSource source{grid.gridRowCount, [this](int row, int col) {
                                         MSHFlexGrid1->setRow(row);
                                         MSHFlexGrid1->setCol(col);
                                         return MSHFlexGrid1->text();
                                     }};
    inspect::printListing(*printer, source);
    const bool sent = printer->endDoc(reason);
    forms::setScreenPointer(forms::vbDefault);
    if (!sent)
        forms::msgBox(reason, forms::vbOKOnly | forms::vbExclamation);
}

void FrmSpectrum::cmdPrintGrid_Click() { printLicenceGrid(); }
void FrmSpectrum::mnuPrint_Click() { printLicenceGrid(); }

}  // namespace shell
