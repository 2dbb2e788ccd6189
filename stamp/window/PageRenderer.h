#pragma once

#include "DocumentPages.h"
#include "SignatureReport.h"

#include <QImage>
#include <QObject>
#include <QThread>

#include <memory>
#include <mutex>
#include <vector>

namespace talvo::stamp {

class RenderWorker;

// The document's own thread: it alone holds the PDF library's document, opens it, draws the
// pages asked for and verifies the signatures, so the window never waits for any of it. A
// request for pages replaces the one before it; pages no longer wanted are never drawn.
class PageRenderer : public QObject {
    Q_OBJECT
public:
    PageRenderer();
    ~PageRenderer() override;
    PageRenderer(const PageRenderer&) = delete;
    PageRenderer& operator=(const PageRenderer&) = delete;

    // Answered by opened or openFailed with the number this call returns.
    quint64 open(const QString& path);
    // Pages from 0, most wanted first, at a zoom, of the document that open numbered.
    void request(quint64 document, const std::vector<int>& pages, double pixelsPerPoint);

    // The next page to draw, taken from the request; false when none is left.
    bool takeNext(quint64& document, int& page, double& pixelsPerPoint);

Q_SIGNALS:
    void opened(quint64 document, const QString& path, const talvo::stamp::DocumentPages& pages,
                const std::vector<talvo::stamp::SignatureReport>& signatures);
    void openFailed(quint64 document, const QString& path, const QString& reason);
    void pageRendered(quint64 document, int page, double pixelsPerPoint, const QImage& image);

private:
    struct Pending {
        quint64 document = 0;
        std::vector<int> pages;
        double pixelsPerPoint = 1;
    };

    QThread m_thread;
    RenderWorker* m_worker = nullptr; // lives in m_thread, deleted when it ends
    std::mutex m_pendingMutex;
    Pending m_pending;
    bool m_drainPosted = false;
    quint64 m_lastDocument = 0;
};

} // namespace talvo::stamp
