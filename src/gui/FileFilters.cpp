// Turns the window's dialog filters into Qt's filter syntax.
#include "gui/FileFilters.h"

#include <QStringList>

namespace quirebook {

QString QtFileFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString caption = parts[i];
        const qsizetype bracket = caption.indexOf(QLatin1Char('('));
        if (bracket >= 0) caption.truncate(bracket);
        caption = caption.trimmed();
        const QString patterns =
            parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts).join(QLatin1Char(' '));
        filters << (caption.isEmpty() ? patterns : caption) + QStringLiteral(" (") + patterns +
                       QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

}  // namespace quirebook
