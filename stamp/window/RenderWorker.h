#pragma once

#include "DocumentPages.h"
#include "SignatureReport.h"

#include <QObject>
#include <QString>

#include <memory>
#include <vector>

namespace Poppler {
class Document;
}

namespace talvo::stamp {

class PageRenderer;

// Runs in the renderer's thread; the one owner of the library's document.
class RenderWorker : public QObject {
    Q_OBJECT
public:
    explicit RenderWorker(PageRenderer& renderer);
    ~RenderWorker() override;

    void open(quint64 document, const QString& path);
    void drain();

private:
    std::vector<SignatureReport> readSignatures() const;

    PageRenderer& m_renderer;
    std::unique_ptr<Poppler::Document> m_document;
    quint64 m_documentNumber = 0;
};

} // namespace talvo::stamp
