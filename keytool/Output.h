#pragma once

#include <QJsonArray>
#include <QJsonValue>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace talvo::keytool {

// What a command reports on standard output: "name: value" lines and tab-separated rows in
// the operator's locale, or one JSON document in UTF-8 whose keys stay as named here.
class Output {
public:
    enum class Form { Text, Json };

    explicit Output(Form form) : m_form(form) {}

    Form form() const { return m_form; }
    bool isEmpty() const { return m_entries.empty(); }

    // A value under its name: strings, numbers and truth values ("yes"/"no" as text).
    void add(const QString& name, const QJsonValue& value);
    // The one result of a command: in JSON under its name, as text the value alone.
    void addResult(const QString& name, const QJsonValue& value);
    // Rows under a name: in JSON an array of objects with these columns, as text one line a row.
    void addRows(const QString& name, const QStringList& columns, const std::vector<QJsonArray>& rows);

    // The document or the lines, as bytes for standard output. As text, every value shows
    // its control and reordering characters escaped, so that no key text forges a line.
    QByteArray render() const;

private:
    struct Entry {
        QString name;
        QJsonValue value;
        QStringList columns;
        std::vector<QJsonArray> rows;
        bool isRows = false;
        bool bare = false;
    };

    Form m_form;
    std::vector<Entry> m_entries;
};

} // namespace talvo::keytool
