#include "MainDialog.h"

#include "LoginDialog.h"
#include "device/DriverConventions.h"
#include "device/KeyDriverBinding.h"
#include "key/DeviceOperations.h"
#include "key/OperatorTexts.h"
#include "platform/core/Cp936Codec.h"
#include "platform/core/PrivateDirectory.h"
#include "platform/widgets/Interaction.h"
#include "platform/widgets/TabControl.h"
#include "resources/DialogTemplates.h"

#include <QFile>
#include <QShortcut>
#include <QTabBar>

#include <cstdlib>
#include <new>

namespace talvo {

namespace M = ids::main;

MainDialog::MainDialog()
    : TemplateDialog(dialogTemplate(IDD_MAIN)), m_icon(QStringLiteral(":/talvo/talvo.png"))
{
    m_tabControl = controlAs<TabControl>(M::TabControl);
    // A window of its own with a taskbar button, not a transient dialog; like the template's
    // frame it has no minimise or maximise box.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    connect(m_tabControl, &TabControl::selectionChanged, this, [this] { onTabSelectionChanged(); });
    onClicked(M::RefreshButton, [this] { onRefreshSerial(); });
    onClicked(M::ExitButton, [this] { endDialog(IDCANCEL); });
    addPageKeys();
}

void MainDialog::addPageKeys()
{
    // As in a Windows tabbed dialog: without them an operator without a mouse never reaches
    // the second and third pages. Qt reports Ctrl+Shift+Tab as Backtab.
    auto* next = new QShortcut(this);
    next->setKeys({QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)});
    connect(next, &QShortcut::activated, this, [this] { m_tabControl->stepSelection(true); });
    auto* previous = new QShortcut(this);
    previous->setKeys({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
                       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
                       QKeySequence(Qt::CTRL | Qt::Key_PageUp)});
    connect(previous, &QShortcut::activated, this, [this] { m_tabControl->stepSelection(false); });
}

MainDialog::~MainDialog()
{
    cleanUp();
}

bool MainDialog::onInitDialog()
{
    setWindowIcon(m_icon);
    runLogin();
    if (!m_deviceInfoPage.isInitialized() || !m_cspPage.isInitialized() || !m_pinPage.isInitialized())
        createPages();
    // The binding comes only now, so no page can reach the driver from its own initialisation.
    m_binding.reset(new (std::nothrow) KeyDriverBinding);
    m_deviceInfoPage.setBinding(m_binding.get());
    m_cspPage.setBinding(m_binding.get());
    m_pinPage.setBinding(m_binding.get());
    return true;
}

void MainDialog::runLogin()
{
    int result = 0;
    {
        LoginDialog login;
        result = login.doModal();
    }
    if (result != IDOK)
        std::exit(0);
}

void MainDialog::createPages()
{
    m_tabControl->insertItem(0, QStringLiteral("签章服务"));
    m_tabControl->insertItem(1, QStringLiteral("CSP服务"));
    m_tabControl->insertItem(2, QStringLiteral("口令服务"));

    m_deviceInfoPage.createAsChild(m_tabControl);
    m_cspPage.createAsChild(m_tabControl);
    m_pinPage.createAsChild(m_tabControl);

    const QRect area = pageRectangle();
    int tab = 0;
    for (TemplateDialog* page :
         {static_cast<TemplateDialog*>(&m_deviceInfoPage), static_cast<TemplateDialog*>(&m_cspPage),
          static_cast<TemplateDialog*>(&m_pinPage)}) {
        page->setGeometry(area);
        // A screen reader names a page by its tab.
        page->setAccessibleName(m_tabControl->tabBar()->tabText(tab++));
        page->update();
    }
    m_deviceInfoPage.show();
    m_cspPage.hide();
    m_pinPage.hide();
    m_tabControl->setCurrentSelection(0);
}

QRect MainDialog::pageRectangle() const
{
    const QRect client = m_tabControl->rect();
    return QRect(QPoint(client.left() + 20, client.top() + 20),
                 QPoint(client.right() - 20, client.bottom() - 10));
}

void MainDialog::onTabSelectionChanged()
{
    TemplateDialog* pages[] = {&m_deviceInfoPage, &m_cspPage, &m_pinPage};
    const int index = m_tabControl->currentSelection();
    if (index < 0 || index > 2)
        return;
    for (int i = 0; i < 3; ++i)
        pages[i]->setVisible(i == index);
    pages[index]->focusFirstControl();
}

void MainDialog::onRefreshSerial()
{
    char serial[kSerialBufferSize] = {};
    const int32_t status = m_binding ? readSerial(*m_binding, serial) : 1;
    if (status == 0) {
        // Cut at the buffer: a driver that leaves the text unterminated is not read past it.
        setItemText(M::SerialEdit, fromCp936(serial, sizeof serial));
        return;
    }
    setItemText(M::SerialEdit, QString());
    windowMessageBox(this, kNoDeviceInfoText, kNoticeCaption, BoxIcon::Information);
}

void MainDialog::done(int result)
{
    TemplateDialog::done(result);
    cleanUp();
}

void MainDialog::cleanUp()
{
    if (m_cleanedUp)
        return;
    m_cleanedUp = true;
    m_deviceInfoPage.setBinding(nullptr);
    m_cspPage.setBinding(nullptr);
    m_pinPage.setBinding(nullptr);
    m_binding.reset();
    const QString certificate = privateFilePath(QString::fromLatin1(CspPage::kTempCertFileName));
    if (!certificate.isEmpty())
        QFile::remove(certificate);
}

} // namespace talvo
