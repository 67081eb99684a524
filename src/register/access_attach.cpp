// Attaching the tables an Access file's readers hand back.

#include "register/access_internal.h"

namespace reg::access {

void attachTable(Database& db, EngineBuffer image, const QString& table)
{
    const QStringList present = db.schemas();
    QString name;
    for (int k = 1; name.isEmpty() || present.contains(name); ++k)
        name = QStringLiteral("access%1").arg(k);
    // One schema is always left free for the copying.
    const int attached = int(present.size()) - 1 - (present.contains(QStringLiteral("temp")) ? 1 : 0);
    const bool keep = attached + 1 < db.attachedLimit();
    try {
        db.attachImage(name, std::move(image));
    } catch (const RegisterError& e) {
        throw RegisterError(QStringLiteral("The copy of table %1 cannot be opened: %2").arg(table, e.message()));
    }
    if (!keep) {
        db.exec(QStringLiteral("CREATE TABLE main.") + quotedName(table) + QStringLiteral(" AS SELECT * FROM ") +
                quotedName(name) + QLatin1Char('.') + quotedName(table));
        db.exec(QStringLiteral("DETACH DATABASE ") + quotedName(name));
    }
}

}  // namespace reg::access
