#include "RenderWorker.h"

#include "DocumentFile.h"
#include "PageRenderer.h"

#include <poppler-form.h>
#include <poppler-qt6.h>

#include <map>

namespace talvo::stamp {

namespace {

int rotationOf(Poppler::Page::Orientation orientation)
{
    switch (orientation) {
    case Poppler::Page::Landscape:
        return 90;
    case Poppler::Page::UpsideDown:
        return 180;
    case Poppler::Page::Seascape:
        return 270;
    case Poppler::Page::Portrait:
        break;
    }
    return 0;
}

SignatureReport::Verdict verdictOf(Poppler::SignatureValidationInfo::SignatureStatus status)
{
    switch (status) {
    case Poppler::SignatureValidationInfo::SignatureValid:
        return SignatureReport::Verdict::Valid;
    case Poppler::SignatureValidationInfo::SignatureInvalid:
        return SignatureReport::Verdict::Invalid;
    case Poppler::SignatureValidationInfo::SignatureDigestMismatch:
        return SignatureReport::Verdict::Changed;
    default:
        break;
    }
    return SignatureReport::Verdict::Unreadable;
}

QString certificateNote(Poppler::SignatureValidationInfo::CertificateStatus status)
{
    switch (status) {
    case Poppler::SignatureValidationInfo::CertificateTrusted:
        return QStringLiteral("证书可信");
    case Poppler::SignatureValidationInfo::CertificateUntrustedIssuer:
    case Poppler::SignatureValidationInfo::CertificateUnknownIssuer:
        return QStringLiteral("证书的颁发者不在信任列表中");
    case Poppler::SignatureValidationInfo::CertificateRevoked:
        return QStringLiteral("证书已吊销");
    case Poppler::SignatureValidationInfo::CertificateExpired:
        return QStringLiteral("签名时证书不在有效期内");
    default:
        break;
    }
    return QStringLiteral("证书未能验证");
}

} // namespace

RenderWorker::RenderWorker(PageRenderer& renderer) : m_renderer(renderer) {}

RenderWorker::~RenderWorker() = default;

void RenderWorker::open(quint64 document, const QString& path)
{
    m_document.reset();
    m_documentNumber = document;
    DocumentFile file = DocumentFile::read(path);
    if (!file.error.isEmpty()) {
        Q_EMIT m_renderer.openFailed(document, path, file.error);
        return;
    }
    if (!file.looksLikePdf()) {
        Q_EMIT m_renderer.openFailed(document, path, QStringLiteral("这不是 PDF 文档。"));
        return;
    }
    std::unique_ptr<Poppler::Document> loaded = Poppler::Document::loadFromData(file.bytes);
    // A locked document has no catalogue to count pages in.
    if (loaded && (loaded->isLocked() || loaded->isEncrypted())) {
        Q_EMIT m_renderer.openFailed(document, path, QStringLiteral("文档已加密，不能盖章。"));
        return;
    }
    if (!loaded || loaded->numPages() <= 0) {
        Q_EMIT m_renderer.openFailed(document, path, QStringLiteral("文档已损坏，无法读取。"));
        return;
    }
    loaded->setRenderHint(Poppler::Document::Antialiasing);
    loaded->setRenderHint(Poppler::Document::TextAntialiasing);
    DocumentPages pages;
    pages.reserve(static_cast<std::size_t>(loaded->numPages()));
    for (int i = 0; i < loaded->numPages(); ++i) {
        const std::unique_ptr<Poppler::Page> page = loaded->page(i);
        if (!page) {
            Q_EMIT m_renderer.openFailed(document, path, QStringLiteral("文档已损坏，无法读取。"));
            return;
        }
        const int rotation = rotationOf(page->orientation());
        QSizeF size = page->pageSizeF();
        if (rotation % 180 != 0)
            size.transpose();
        pages.push_back({QRectF(QPointF(0, 0), size), rotation});
    }
    m_document = std::move(loaded);
    Q_EMIT m_renderer.opened(document, path, pages, readSignatures());
}

void RenderWorker::drain()
{
    quint64 document = 0;
    int pageIndex = 0;
    double pixelsPerPoint = 1;
    while (m_renderer.takeNext(document, pageIndex, pixelsPerPoint)) {
        if (!m_document || document != m_documentNumber)
            continue;
        const std::unique_ptr<Poppler::Page> page = m_document->page(pageIndex);
        if (!page)
            continue;
        const double dpi = 72.0 * pixelsPerPoint;
        Q_EMIT m_renderer.pageRendered(document, pageIndex, pixelsPerPoint, page->renderToImage(dpi, dpi));
    }
}

std::vector<SignatureReport> RenderWorker::readSignatures() const
{
    std::vector<SignatureReport> reports;
    const std::vector<std::unique_ptr<Poppler::FormFieldSignature>> signatures = m_document->signatures();
    if (signatures.empty())
        return reports;
    std::map<QString, int> pageOfField;
    for (int i = 0; i < m_document->numPages(); ++i) {
        const std::unique_ptr<Poppler::Page> page = m_document->page(i);
        if (!page)
            continue;
        for (const std::unique_ptr<Poppler::FormField>& field : page->formFields())
            if (field->type() == Poppler::FormField::FormSignature)
                pageOfField.emplace(field->fullyQualifiedName(), i + 1);
    }
    for (const std::unique_ptr<Poppler::FormFieldSignature>& signature : signatures) {
        const Poppler::SignatureValidationInfo info =
            signature->validate(Poppler::FormFieldSignature::ValidateVerifyCertificate |
                                    Poppler::FormFieldSignature::ValidateWithoutOCSPRevocationCheck,
                                QDateTime());
        SignatureReport report;
        report.signer = info.signerSubjectDN().isEmpty() ? info.signerName() : info.signerSubjectDN();
        report.signingTime = QDateTime::fromSecsSinceEpoch(info.signingTime());
        const auto found = pageOfField.find(signature->fullyQualifiedName());
        report.page = found == pageOfField.end() ? 0 : found->second;
        report.verdict = verdictOf(info.signatureStatus());
        report.coversWholeFile = info.signsTotalDocument();
        report.certificateNote = certificateNote(info.certificateStatus());
        reports.push_back(std::move(report));
    }
    return reports;
}

} // namespace talvo::stamp
