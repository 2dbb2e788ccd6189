#pragma once

#include <QString>
#include <QStringList>

namespace talvo {

// One text a line on standard error, without timestamp or level: the stand-in for the
// debugger output that the original wrote its traces to.
void debugTrace(const QString& text);

// While alive, traces are collected here instead of going to standard error.
class TraceCapture {
public:
    TraceCapture();
    ~TraceCapture();
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;

    const QStringList& lines() const { return m_lines; }
    int count(const QString& line) const { return static_cast<int>(m_lines.count(line)); }
    void clear() { m_lines.clear(); }

private:
    friend void debugTrace(const QString& text);
    QStringList m_lines;
    TraceCapture* m_previous;
};

} // namespace talvo
