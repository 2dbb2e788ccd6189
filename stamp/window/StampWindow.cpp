#include "StampWindow.h"

#include "DocumentView.h"
#include "KeySeal.h"
#include "KeyWatcher.h"
#include "PageListPanel.h"
#include "PinDialog.h"
#include "SealList.h"
#include "SealValidity.h"
#include "SealsPanel.h"
#include "SignaturesPanel.h"
#include "StampKey.h"
#include "platform/core/Cp936Codec.h"
#include "platform/widgets/Interaction.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <ctime>

namespace talvo::stamp {

namespace {

constexpr double kDefaultSealWidthMm = 40;

const QString kSettingsOrganisation = QStringLiteral("talvo");
const QString kSettingsApplication = QStringLiteral("talvo-stamp");

// The name the sealed document is offered under: beside the original.
QString sealedPathBeside(const QString& original)
{
    const QFileInfo file(original);
    return file.dir().filePath(QStringLiteral("%1-已盖章.pdf").arg(file.completeBaseName()));
}

std::vector<uint8_t> bytesOf(const QByteArray& bytes)
{
    return {bytes.begin(), bytes.end()};
}

} // namespace

StampWindow::StampWindow(StampKey& key, std::chrono::milliseconds keyInterval, QWidget* parent)
    : QMainWindow(parent), m_key(key)
{
    setWindowTitle(QStringLiteral("电子签章"));
    setObjectName(QStringLiteral("StampWindow"));
    m_sealingThread.setMaxThreadCount(1);
    m_view = new DocumentView(m_renderer, this);
    setCentralWidget(m_view);
    buildDocks();
    buildActions();
    m_zoomLabel = new QLabel(this);
    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 0);
    m_progress->setMaximumWidth(160);
    m_progress->setAccessibleName(QStringLiteral("盖章进度"));
    m_progress->hide();
    statusBar()->addPermanentWidget(m_progress);
    statusBar()->addPermanentWidget(m_zoomLabel);

    connect(&m_renderer, &PageRenderer::opened, this, &StampWindow::opened);
    connect(&m_renderer, &PageRenderer::openFailed, this, &StampWindow::openFailed);
    connect(m_view, &DocumentView::currentPageChanged, m_pageList, &PageListPanel::showCurrentPage);
    connect(m_view, &DocumentView::zoomChanged, this, &StampWindow::showZoom);
    connect(m_view, &DocumentView::sealDropped, this, &StampWindow::placeSeal);
    connect(m_view, &DocumentView::placedSealsChanged, this, &StampWindow::updateActions);
    connect(m_view, &DocumentView::pageClicked, this, [this](int page, const QPointF& mm) {
        if (const KeySeal* seal = m_seals->chosenSeal()) {
            placeSeal(seal->number, page, mm);
            m_seals->list().clearSelection();
        }
    });
    connect(m_pageList, &PageListPanel::pageChosen, m_view, &DocumentView::goToPage);
    connect(m_seals, &SealsPanel::sealActivated, this, [this](int) { placeChosenSeal(); });
    connect(&m_sealing, &QFutureWatcher<pdf::SealingResult>::finished, this, &StampWindow::sealingDone);

    m_watcher = std::make_unique<KeyWatcher>(m_key, keyInterval);
    connect(m_watcher.get(), &KeyWatcher::keyChanged, this,
            [this](bool present, const std::vector<KeySeal>& seals, const QString& problem) {
                m_seals->showKey(present, seals, problem);
                updateActions();
            });

    resize(1100, 800);
    const QSettings stored(kSettingsOrganisation, kSettingsApplication);
    restoreGeometry(stored.value(QStringLiteral("window/geometry")).toByteArray());
    restoreState(stored.value(QStringLiteral("window/state")).toByteArray());
    showZoom(m_view->pixelsPerPoint());
    updateActions();
}

StampWindow::~StampWindow()
{
    m_sealing.waitForFinished();
}

void StampWindow::buildDocks()
{
    m_pageList = new PageListPanel(this);
    m_seals = new SealsPanel(this);
    m_signatures = new SignaturesPanel(this);
    const auto dock = [this](QWidget* widget, const QString& title, const QString& name,
                             Qt::DockWidgetArea area) {
        auto* holder = new QDockWidget(title, this);
        holder->setObjectName(name);
        holder->setWidget(widget);
        holder->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
        addDockWidget(area, holder);
        return holder;
    };
    QDockWidget* pages =
        dock(m_pageList, QStringLiteral("页面"), QStringLiteral("pages"), Qt::LeftDockWidgetArea);
    QDockWidget* seals =
        dock(m_seals, QStringLiteral("签章"), QStringLiteral("seals"), Qt::RightDockWidgetArea);
    QDockWidget* signatures =
        dock(m_signatures, QStringLiteral("签名"), QStringLiteral("signatures"), Qt::BottomDockWidgetArea);
    // The page gets the room; the panels what their contents need.
    resizeDocks({pages, seals}, {110, 250}, Qt::Horizontal);
    resizeDocks({signatures}, {150}, Qt::Vertical);
}

void StampWindow::buildActions()
{
    const auto action = [this](const QString& text, const QKeySequence& keys, auto handler) {
        auto* made = new QAction(text, this);
        made->setShortcut(keys);
        made->setShortcutContext(Qt::WindowShortcut);
        connect(made, &QAction::triggered, this, handler);
        return made;
    };
    m_openAction = action(QStringLiteral("打开(&O)…"), QKeySequence::Open, [this] {
        const std::optional<QString> path =
            chooseFile({this,
                        true,
                        QStringLiteral("pdf"),
                        {},
                        QStringLiteral("PDF 文档 (*.pdf)|*.pdf|所有文件 (*.*)|*||")});
        if (path)
            openDocument(*path);
    });
    m_sealAction =
        action(QStringLiteral("盖章"), QKeySequence(Qt::CTRL | Qt::Key_S), [this] { sealDocument(); });
    m_placeAction = action(QStringLiteral("放置所选签章(&P)"), QKeySequence(Qt::CTRL | Qt::Key_E),
                           [this] { placeChosenSeal(); });
    QAction* clearSeals =
        action(QStringLiteral("撤下所有签章(&C)"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete),
               [this] { m_view->clearPlacedSeals(); });
    QAction* quit =
        action(QStringLiteral("退出(&X)"), QKeySequence(Qt::CTRL | Qt::Key_Q), [this] { close(); });
    QAction* zoomIn = action(QStringLiteral("放大(&I)"), QKeySequence::ZoomIn, [this] { m_view->zoomIn(); });
    QAction* zoomOut =
        action(QStringLiteral("缩小(&U)"), QKeySequence::ZoomOut, [this] { m_view->zoomOut(); });
    QAction* fitWidth = action(QStringLiteral("适合宽度(&W)"), QKeySequence(Qt::CTRL | Qt::Key_1),
                               [this] { m_view->fitWidth(); });
    QAction* fitPage = action(QStringLiteral("适合页面(&F)"), QKeySequence(Qt::CTRL | Qt::Key_2),
                              [this] { m_view->fitPage(); });
    QAction* previous = action(QStringLiteral("上一页(&R)"), QKeySequence(Qt::CTRL | Qt::Key_PageUp),
                               [this] { m_view->goToPage(m_view->currentPage() - 1); });
    QAction* next = action(QStringLiteral("下一页(&N)"), QKeySequence(Qt::CTRL | Qt::Key_PageDown),
                           [this] { m_view->goToPage(m_view->currentPage() + 1); });
    QAction* focusNext = action(QStringLiteral("切换面板(&T)"), QKeySequence(Qt::Key_F6), [this] {
        const QList<QWidget*> order{m_view, &m_seals->list(), m_signatures, m_pageList};
        const qsizetype at = order.indexOf(focusWidget());
        order.at((at + 1) % order.size())->setFocus(Qt::TabFocusReason);
    });
    m_documentActions = {m_placeAction, clearSeals, zoomIn, zoomOut, fitWidth, fitPage, previous, next};

    QMenu* file = menuBar()->addMenu(QStringLiteral("文件(&F)"));
    file->addActions({m_openAction, m_sealAction});
    file->addSeparator();
    file->addAction(quit);
    QMenu* seals = menuBar()->addMenu(QStringLiteral("签章(&S)"));
    seals->addActions({m_placeAction, clearSeals, m_sealAction});
    QMenu* view = menuBar()->addMenu(QStringLiteral("视图(&V)"));
    view->addActions({zoomIn, zoomOut, fitWidth, fitPage});
    view->addSeparator();
    view->addActions({previous, next, focusNext});

    QToolBar* tools = addToolBar(QStringLiteral("工具栏"));
    tools->setObjectName(QStringLiteral("tools"));
    tools->addActions({m_openAction, m_sealAction});
    tools->addSeparator();
    tools->addActions({zoomOut, zoomIn, fitWidth, fitPage, previous, next});
}

void StampWindow::openDocument(const QString& path)
{
    m_opening = m_renderer.open(path);
    statusBar()->showMessage(QStringLiteral("正在打开 %1 …").arg(QFileInfo(path).fileName()));
}

void StampWindow::opened(quint64 document, const QString& path, const DocumentPages& pages,
                         const std::vector<SignatureReport>& signatures)
{
    if (document != m_opening)
        return;
    m_path = path;
    m_view->showDocument(document, pages);
    m_pageList->setPageCount(static_cast<int>(pages.size()));
    m_signatures->showSignatures(signatures);
    setWindowTitle(QStringLiteral("%1 - 电子签章").arg(QFileInfo(path).fileName()));
    statusBar()->showMessage(QStringLiteral("共 %1 页").arg(pages.size()));
    updateActions();
    Q_EMIT documentShown(path);
}

void StampWindow::openFailed(quint64 document, const QString& path, const QString& reason)
{
    if (document != m_opening)
        return;
    statusBar()->clearMessage();
    error(QStringLiteral("无法打开 %1：\n%2").arg(QFileInfo(path).fileName(), reason));
    Q_EMIT documentRefused(path);
}

void StampWindow::placeChosenSeal()
{
    const KeySeal* seal = m_seals->chosenSeal();
    if (!seal || !m_view->hasDocument())
        return;
    placeSeal(seal->number, m_view->currentPage(), m_view->visibleCentreMm());
}

void StampWindow::placeSeal(int number, int page, const QPointF& centreMm)
{
    const KeySeal* seal = m_seals->seal(number);
    if (!seal || !seal->inForce) {
        statusBar()->showMessage(QStringLiteral("这枚签章不能使用。"), 5000);
        return;
    }
    PlacedSeal placed;
    placed.sealNumber = seal->number;
    placed.sealName = seal->name;
    placed.page = page;
    placed.centreMm = centreMm;
    placed.picture = QImage::fromData(seal->picture);
    if (placed.picture.isNull()) {
        error(QStringLiteral("签章“%1”的图片无法识别。").arg(seal->name));
        return;
    }
    const double pageWidth = m_view->layout().geometry(page).shownSizeMm().width();
    placed.widthMm = std::min(kDefaultSealWidthMm, pageWidth);
    m_view->placeSeal(placed);
}

void StampWindow::sealDocument()
{
    if (m_busy || !m_view->hasDocument())
        return;
    const std::vector<PlacedSeal> placed = m_view->placedSeals();
    if (placed.empty()) {
        windowMessageBox(this, QStringLiteral("请先把签章放到页面上。"), QStringLiteral("提示"),
                         BoxIcon::Information);
        return;
    }
    if (!m_key.isPresent()) {
        error(QStringLiteral("未检测到 USB Key，请插入后再盖章。"));
        return;
    }
    // A seal may have run out since it was placed.
    const std::time_t now = std::time(nullptr);
    // Taken now: the panel follows the key, and may change while the dialogs are open.
    const QString input = m_path;
    std::vector<pdf::SealStamp> stamps;
    for (const PlacedSeal& each : placed) {
        const KeySeal* seal = m_seals->seal(each.sealNumber);
        const QString reason =
            seal ? sealOutOfForceReason(toCp936(seal->expiry), now) : QStringLiteral("已不在 USB Key 中");
        if (!reason.isEmpty()) {
            error(QStringLiteral("签章“%1”%2，不能盖章。").arg(each.sealName, reason));
            return;
        }
        pdf::SealStamp stamp;
        stamp.placement = {each.page + 1, each.centreMm.x(), each.centreMm.y(), each.widthMm};
        stamp.picture = bytesOf(seal->picture);
        stamp.sealName = each.sealName.toStdString();
        stamps.push_back(std::move(stamp));
    }
    PinDialog pinDialog(this);
    if (interaction().runModal(pinDialog) != QDialog::Accepted)
        return;
    if (const QString refused = m_key.verifyPin(pinDialog.pin()); !refused.isEmpty()) {
        error(refused);
        return;
    }
    const std::optional<QString> output =
        chooseFile({this, false, QStringLiteral("pdf"), sealedPathBeside(input),
                    QStringLiteral("PDF 文档 (*.pdf)|*.pdf||")});
    if (!output)
        return;
    m_sealedPath = *output;
    setBusy(true, QStringLiteral("正在盖章…"));
    StampKey& key = m_key;
    m_sealing.setFuture(
        QtConcurrent::run(&m_sealingThread, [&key, input, target = *output, stamps = std::move(stamps)] {
            return key.seal(input, target, stamps);
        }));
}

void StampWindow::sealingDone()
{
    const pdf::SealingResult result = m_sealing.result();
    setBusy(false);
    if (!result.ok) {
        error(QStringLiteral("盖章失败，没有写入任何文件：\n%1").arg(QString::fromStdString(result.error)));
        Q_EMIT sealingFinished(false);
        return;
    }
    statusBar()->showMessage(QStringLiteral("已盖章：%1").arg(m_sealedPath), 10000);
    openDocument(m_sealedPath);
    Q_EMIT sealingFinished(true);
}

void StampWindow::setBusy(bool busy, const QString& message)
{
    m_busy = busy;
    m_progress->setVisible(busy);
    if (busy)
        statusBar()->showMessage(message);
    else
        statusBar()->clearMessage();
    updateActions();
}

void StampWindow::updateActions()
{
    const bool document = m_view->hasDocument() && !m_busy;
    for (QAction* each : std::as_const(m_documentActions))
        each->setEnabled(document);
    m_openAction->setEnabled(!m_busy);
    m_sealAction->setEnabled(document && !m_view->placedSeals().empty());
    m_view->setEnabled(!m_busy);
}

void StampWindow::showZoom(double pixelsPerPoint)
{
    m_zoomLabel->setText(QStringLiteral("%1%").arg(qRound(pixelsPerPoint * 100)));
}

void StampWindow::error(const QString& text)
{
    windowMessageBox(this, text, QStringLiteral("错误"), BoxIcon::Error);
}

void StampWindow::closeEvent(QCloseEvent* event)
{
    if (m_busy) {
        // The key is signing: a window that vanished now would leave the holder guessing.
        statusBar()->showMessage(QStringLiteral("正在盖章，请稍候。"), 5000);
        event->ignore();
        return;
    }
    QSettings stored(kSettingsOrganisation, kSettingsApplication);
    stored.setValue(QStringLiteral("window/geometry"), saveGeometry());
    stored.setValue(QStringLiteral("window/state"), saveState());
    QMainWindow::closeEvent(event);
}

} // namespace talvo::stamp
