#pragma once

#include "DocumentPages.h"
#include "PageRenderer.h"
#include "SignatureReport.h"
#include "pdf/DocumentSealing.h"

#include <QFutureWatcher>
#include <QMainWindow>
#include <QThreadPool>

#include <chrono>
#include <memory>

class QAction;
class QLabel;
class QProgressBar;

namespace talvo::stamp {

class DocumentView;
class KeyWatcher;
class PageListPanel;
class SealsPanel;
class SignaturesPanel;
class StampKey;
struct KeySeal;

// The key holder's window: the document, the key's seals to put on it, and the signatures it
// carries.
class StampWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit StampWindow(StampKey& key,
                         std::chrono::milliseconds keyInterval = std::chrono::milliseconds(1000),
                         QWidget* parent = nullptr);
    ~StampWindow() override;

    // Opens in the background; a failure is said in a box and the window keeps what it showed.
    void openDocument(const QString& path);
    const QString& documentPath() const { return m_path; }
    bool isBusy() const { return m_busy; }

    DocumentView& view() { return *m_view; }
    PageRenderer& renderer() { return m_renderer; }
    SealsPanel& sealsPanel() { return *m_seals; }
    SignaturesPanel& signaturesPanel() { return *m_signatures; }
    PageListPanel& pageList() { return *m_pageList; }
    QAction& sealAction() { return *m_sealAction; }
    QAction& openAction() { return *m_openAction; }
    QAction& placeAction() { return *m_placeAction; }

    // The chosen seal at the middle of what is seen of the current page.
    void placeChosenSeal();
    // Asks for the PIN and the place to save, then signs every placed seal in order.
    void sealDocument();

Q_SIGNALS:
    // Each open ends in one of these.
    void documentShown(const QString& path);
    void documentRefused(const QString& path);
    void sealingFinished(bool ok);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildActions();
    void buildDocks();
    void opened(quint64 document, const QString& path, const DocumentPages& pages,
                const std::vector<SignatureReport>& signatures);
    void openFailed(quint64 document, const QString& path, const QString& reason);
    void placeSeal(int number, int page, const QPointF& centreMm);
    void sealingDone();
    void setBusy(bool busy, const QString& message = {});
    void updateActions();
    void showZoom(double pixelsPerPoint);
    void error(const QString& text);

    StampKey& m_key;
    PageRenderer m_renderer;
    std::unique_ptr<KeyWatcher> m_watcher;
    DocumentView* m_view = nullptr;
    PageListPanel* m_pageList = nullptr;
    SealsPanel* m_seals = nullptr;
    SignaturesPanel* m_signatures = nullptr;
    QLabel* m_zoomLabel = nullptr;
    QProgressBar* m_progress = nullptr;
    QAction* m_openAction = nullptr;
    QAction* m_sealAction = nullptr;
    QAction* m_placeAction = nullptr;
    QList<QAction*> m_documentActions;
    QString m_path;
    quint64 m_opening = 0;
    bool m_busy = false;
    QString m_sealedPath;
    // The sealing thread is the window's own, not the application's pool: it ends with the
    // window, while the signing library's per-thread state can still be freed, not after the
    // library's own clean-up at exit.
    QThreadPool m_sealingThread;
    QFutureWatcher<pdf::SealingResult> m_sealing;
};

} // namespace talvo::stamp
