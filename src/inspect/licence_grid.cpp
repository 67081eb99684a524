// The licence grid: the licences behind the bar or district last pressed.

#include "inspect/texts.h"
#include "register/recordset.h"
#include "shell/frmspectrum.h"
#include "spectrum/numbers.h"

namespace shell {

GridRows FrmSpectrum::readLicenceGrid(const QString& criteria)
{
    GridRows rows;
    reg::Recordset rs = registerConnection_->execute(inspect::licenceStatement(criteria));
    rows.fields = rs.fieldCount();
    rows.cells.push_back(QStringList());  // the heading row
    for (int i = 0; i <= rows.fields; ++i)
        rows.cells.back() << QString();
    // The grid's row count is a 16-bit number: the heading and 32766 rows.
    for (; !rs.eof(); rs.moveNext()) {
        if (int(rows.cells.size()) == kMaxGridRows) {
            rows.more = true;
            break;
        }
        QStringList row{QString()};
        for (int f = 0; f < rows.fields; ++f) {
            const QVariant v = rs.value(f);
            row << (v.isNull() ? QString() : reg::boundedText(v.toString(), reg::kShownTextMax));
        }
        rows.cells.push_back(row);
    }
    rows.result = std::move(rs);
    return rows;
}

void FrmSpectrum::fillLicenceGrid()
{
    try {
        showLicenceGrid(readLicenceGrid(search.rangeCriteria));
    } catch (const reg::RegisterError& e) {
        // The grid goes on showing what it had.
        reportListingFailure(e);
        grid.gridRowCount = qint16(MSHFlexGrid1->rows());
    }
}

void FrmSpectrum::showLicenceGrid(GridRows&& rows)
{
    if (rows.cells.size() > 1) {
        grid.licenceResult.close();
        grid.licenceResult = std::move(rows.result);
        const int fields = rows.fields;
        MSHFlexGrid1->setMatrix(std::move(rows.cells), fields + 1);
        MSHFlexGrid1->setMergeCol(1, true);
        MSHFlexGrid1->setMergeCol(2, true);
        static const double widths[10] = {0, 1200, 1200, 850, 4000, 450, 700, 450, 4000, 500};
        for (int c = 0; c < 10 && c < fields + 1; ++c)
            MSHFlexGrid1->setColWidth(c, widths[c]);
        static const char* headings[10] = {nullptr,     "Low (MHz)", "High (MHz)", "Channel",  "Site Name",
                                           "Dist",      "Licence",   "M/R",        "Licensee", "ID"};
        const int n = MSHFlexGrid1->rows();
        for (int c = 1; c <= 9 && c < fields + 1; ++c) {
            MSHFlexGrid1->setTextMatrix(0, c, QString::fromLatin1(headings[c]));
            if (c == 1 || c == 2) {
                for (int r = 1; r < n; ++r)
                    MSHFlexGrid1->setTextMatrix(
                        r, c, spectrum::sixDecimalText(MSHFlexGrid1->textMatrix(r, c).toDouble()));
            } else if (c == 9) {
                for (int r = 1; r < n; ++r)
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
