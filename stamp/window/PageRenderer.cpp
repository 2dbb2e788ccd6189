#include "PageRenderer.h"

#include "RenderWorker.h"

#include <QMetaObject>

namespace talvo::stamp {

PageRenderer::PageRenderer()
{
    m_thread.setObjectName(QStringLiteral("talvo-stamp pages"));
    m_worker = new RenderWorker(*this); // deleted in its own thread as the thread ends
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread.start();
}

PageRenderer::~PageRenderer()
{
    {
        std::lock_guard lock(m_pendingMutex);
        m_pending = {};
    }
    m_thread.quit();
    m_thread.wait();
}

quint64 PageRenderer::open(const QString& path)
{
    const quint64 document = ++m_lastDocument;
    {
        std::lock_guard lock(m_pendingMutex);
        m_pending = {};
    }
    QMetaObject::invokeMethod(m_worker,
                              [worker = m_worker, document, path] { worker->open(document, path); });
    return document;
}

void PageRenderer::request(quint64 document, const std::vector<int>& pages, double pixelsPerPoint)
{
    bool post = false;
    {
        std::lock_guard lock(m_pendingMutex);
        m_pending = {document, pages, pixelsPerPoint};
        post = !m_drainPosted && !pages.empty();
        if (post)
            m_drainPosted = true;
    }
    if (post)
        QMetaObject::invokeMethod(m_worker, [worker = m_worker] { worker->drain(); });
}

bool PageRenderer::takeNext(quint64& document, int& page, double& pixelsPerPoint)
{
    std::lock_guard lock(m_pendingMutex);
    if (m_pending.pages.empty()) {
        m_drainPosted = false;
        return false;
    }
    document = m_pending.document;
    page = m_pending.pages.front();
    pixelsPerPoint = m_pending.pixelsPerPoint;
    m_pending.pages.erase(m_pending.pages.begin());
    return true;
}

} // namespace talvo::stamp
