#include "spectrum/search_query.h"

#include "spectrum/chart.h"
#include "spectrum/numbers.h"

namespace spectrum {

namespace {

QString exact(double v) { return QString::number(v, 'g', 17); }

}  // namespace

reg::Recordset runSearchStatement(reg::Connection& c, double low, double high, int limit)
{
    const QString full = searchStatement(low, high) + searchOrderClause();
    const QString where = QStringLiteral(" where ") + searchRangeCriteria(low, high) +
                          QStringLiteral(" and spectrumlow > 0 and spectrum.spectrumstatusid in (1, 4, 5)");
    // Every group holds at least one record, so the records up to the n-th
    // low edge give at least n groups unless records share groups; widen
    // until the groups up to the cut-off fill the chart.
    for (qint64 offset = limit - 1; offset < 4000000; offset *= 4) {
        reg::Recordset edge = c.execute(QStringLiteral("select spectrumlow from spectrum") + where +
                                        QStringLiteral(" order by spectrumlow limit 1 offset ") +
                                        QString::number(offset));
        if (edge.eof())
            break;  // fewer records than that: the whole statement is small
        const double cutoff = edge.value(0).toDouble();
        edge.close();
        QString restricted = full;
        restricted.replace(QStringLiteral(" and spectrumlow > 0 and"),
                           QStringLiteral(" and spectrumlow > 0 and spectrumlow <= ") + exact(cutoff) +
                               QStringLiteral(" and"));
        reg::Recordset rs = c.execute(restricted);
        int n = 0;
        while (n < limit && !rs.eof()) {
            rs.moveNext();
            ++n;
        }
        if (n >= limit) {
            rs.moveFirst();
            return rs;
        }
        rs.close();
        offset = std::max<qint64>(offset, 1);
    }
    return c.execute(full);
}

}  // namespace spectrum
