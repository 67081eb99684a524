// The licence grid: the licences behind the bar or district last pressed.

#include "inspect/texts.h"
#include "shell/frmspectrum.h"
#include "spectrum/numbers.h"

namespace shell {

void FrmSpectrum::fillLicenceGrid()
{
    reg::Recordset result;
    try {
        result = registerConnection_->execute(inspect::licenceStatement(search.rangeCriteria));
    } catch (const reg::RegisterError& e) {
        // The grid goes on showing what it had.
        reportListingFailure(e.message());
        grid.gridRowCount = qint16(MSHFlexGrid1->rows());
        return;
    }
    if (!result.eof()) {
        grid.licenceResult.close();
        grid.licenceResult = std::move(result);
        reg::Recordset& rs = grid.licenceResult;
        rs.moveFirst();
        const int fields = rs.fieldCount();
        std::vector<QStringList> cells;
        cells.push_back(QStringList());  // the heading row
        for (int i = 0; i <= fields; ++i)
            cells.back() << QString();
        const int maxRows = 32766;  // the grid's row count is a 16-bit number
        while (!rs.eof() && int(cells.size()) <= maxRows) {
            QStringList row{QString()};
            for (int f = 0; f < fields; ++f) {
                const QVariant v = rs.value(f);
                row << (v.isNull() ? QString() : v.toString());
            }
            cells.push_back(row);
            rs.moveNext();
        }
        MSHFlexGrid1->setMatrix(std::move(cells), fields + 1);
        MSHFlexGrid1->setMergeCol(1, true);
        MSHFlexGrid1->setMergeCol(2, true);
        static const double widths[10] = {0, 1200, 1200, 850, 4000, 450, 700, 450, 4000, 500};
        for (int c = 0; c < 10 && c < fields + 1; ++c)
            MSHFlexGrid1->setColWidth(c, widths[c]);
        static const char* headings[10] = {nullptr,     "Low (MHz)", "High (MHz)", "Channel",  "Site Name",
                                           "Dist",      "Licence",   "M/R",        "Licensee", "ID"};
        const int rows = MSHFlexGrid1->rows();
        for (int c = 1; c <= 9 && c < fields + 1; ++c) {
            MSHFlexGrid1->setTextMatrix(0, c, QString::fromLatin1(headings[c]));
            if (c == 1 || c == 2) {
                for (int r = 1; r < rows; ++r)
                    MSHFlexGrid1->setTextMatrix(
                        r, c, spectrum::sixDecimalText(MSHFlexGrid1->textMatrix(r, c).toDouble()));
            } else if (c == 9) {
                for (int r = 1; r < rows; ++r)
                    MSHFlexGrid1->setTextMatrix(r, c, QString::number(r));
            }
        }
        MSHFlexGrid1->refresh();
        if (!map.mapShown)
            MSHFlexGrid1->setShownFlag(true);
        cmdPrintGrid->setShownFlag(true);
    }
    grid.gridRowCount = qint16(MSHFlexGrid1->rows());
}

void FrmSpectrum::MSHFlexGrid1_MouseMove(int, int, double, double) { setMousePointer(forms::vbDefault); }

}  // namespace shell
