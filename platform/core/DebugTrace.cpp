#include "DebugTrace.h"

#include <cstdio>

namespace talvo {

namespace {
TraceCapture* g_capture = nullptr;
}

void debugTrace(const QString& text)
{
    if (g_capture) {
        g_capture->m_lines.append(text);
        return;
    }
    const QByteArray line = text.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stderr);
    std::fflush(stderr);
}

TraceCapture::TraceCapture() : m_previous(g_capture)
{
    g_capture = this;
}

TraceCapture::~TraceCapture()
{
    g_capture = m_previous;
}

} // namespace talvo
