#include "Output.h"

#include "platform/core/LocaleText.h"
#include "platform/core/VisibleText.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace talvo::keytool {

namespace {

QString asText(const QJsonValue& value)
{
    switch (value.type()) {
    case QJsonValue::Bool:
        return value.toBool() ? QStringLiteral("yes") : QStringLiteral("no");
    case QJsonValue::Double:
        return QString::number(value.toInteger());
    case QJsonValue::String:
        return visibleText(value.toString(), Backslash::Escaped);
    default:
        return QString();
    }
}

} // namespace

void Output::add(const QString& name, const QJsonValue& value)
{
    m_entries.push_back({name, value, {}, {}, false, false});
}

void Output::addResult(const QString& name, const QJsonValue& value)
{
    m_entries.push_back({name, value, {}, {}, false, true});
}

void Output::addRows(const QString& name, const QStringList& columns, const std::vector<QJsonArray>& rows)
{
    m_entries.push_back({name, QJsonValue(), columns, rows, true, false});
}

QByteArray Output::render() const
{
    if (m_form == Form::Json) {
        QJsonObject document;
        for (const Entry& entry : m_entries) {
            if (!entry.isRows) {
                document.insert(entry.name, entry.value);
                continue;
            }
            QJsonArray rows;
            for (const QJsonArray& row : entry.rows) {
                QJsonObject object;
                for (qsizetype i = 0; i < entry.columns.size() && i < row.size(); ++i)
                    object.insert(entry.columns[i], row[i]);
                rows.append(object);
            }
            document.insert(entry.name, rows);
        }
        return QJsonDocument(document).toJson(QJsonDocument::Indented);
    }
    QString lines;
    for (const Entry& entry : m_entries) {
        if (!entry.isRows) {
            const QString label = entry.bare ? QString() : entry.name + QStringLiteral(": ");
            lines += label + asText(entry.value) + QLatin1Char('\n');
            continue;
        }
        for (const QJsonArray& row : entry.rows) {
            QStringList cells;
            for (const QJsonValue& cell : row)
                cells.append(asText(cell));
            lines += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
        }
    }
    return QByteArray::fromStdString(inLocaleEncoding(lines));
}

} // namespace talvo::keytool
