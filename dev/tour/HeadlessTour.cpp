#include "HeadlessTour.h"

#include "SealDialogsTour.h"
#include "Snapshot.h"

#include "app/LoginDialog.h"
#include "app/MainDialog.h"
#include "pages/CertExportDialog.h"
#include "pages/CspPage.h"
#include "pages/PinPage.h"
#include "platform/widgets/CertificateWindow.h"
#include "platform/widgets/Interaction.h"
#include "platform/widgets/TabControl.h"
#include "resources/ControlIds.h"

#include <QAbstractButton>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QTabBar>
#include <QTextStream>

#include <cstdio>
#include <deque>
#include <functional>

namespace talvo {

namespace {

// Answers every modal thing of the tour without a person: the login gets the password,
// boxes are recorded as text, file dialogs are cancelled.
class TourInteraction : public Interaction {
public:
    explicit TourInteraction(QString directory) : m_directory(std::move(directory)) {}

    BoxResult messageBox(const MessageBoxRequest& request) override
    {
        m_boxes << request.caption + QStringLiteral(": ") + request.text;
        return request.buttons == BoxButtons::Ok ? BoxResult::Ok : request.defaultButton;
    }
    std::optional<QString> fileDialog(const FileDialogRequest&) override { return std::nullopt; }
    // Shows the certificate as a desktop without a viewer of its own would.
    bool shellOpen(const QString& path) override
    {
        CertificateWindow window(path);
        window.show();
        save(window, QStringLiteral("06-certificate-window.png"));
        return true;
    }
    int runModal(QDialog& dialog) override
    {
        dialog.show();
        if (auto* login = qobject_cast<LoginDialog*>(&dialog)) {
            save(dialog, QStringLiteral("01-login.png"));
            if (auto* edit = login->controlAs<QLineEdit>(ids::login::PasswordEdit))
                edit->setText(QString::fromLatin1(LoginDialog::kPassword));
            login->accept();
            return dialog.result();
        }
        if (m_modal) {
            m_modal(dialog);
        }
        if (dialog.isVisible())
            dialog.reject();
        return dialog.result();
    }

    bool save(QWidget& widget, const QString& name) { return saveSnapshot(widget, m_directory, name); }

    std::function<void(QDialog&)> m_modal;
    QStringList m_boxes;

private:
    QString m_directory;
};

} // namespace

int runHeadlessTour(const QString& directory)
{
    if (!QDir().mkpath(directory)) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(directory));
        return 1;
    }
    TourInteraction tour(directory);
    setInteraction(&tour);

    MainDialog mainDialog;
    setMainWindow(&mainDialog);
    mainDialog.show();
    // Show what the key holds, as an operator would after pressing the buttons.
    for (QAbstractButton* button :
         {mainDialog.controlAs<QAbstractButton>(ids::main::RefreshButton),
          mainDialog.deviceInfoPage().controlAs<QAbstractButton>(ids::deviceInfo::ViewButton)})
        if (button)
            button->click();
    // The second tab after a hash of the fixed PIN.
    CspPage& csp = mainDialog.cspPage();
    csp.setItemText(ids::csp::PinEdit, QStringLiteral("730264"));
    if (auto* hash = csp.controlAs<QAbstractButton>(ids::csp::HashButton))
        hash->click();
    // The third tab with a change typed in.
    PinPage& pin = mainDialog.pinPage();
    pin.setItemText(ids::pin::OldPasswordEdit, QStringLiteral("730264"));
    pin.setItemText(ids::pin::NewPasswordEdit, QStringLiteral("口令1"));
    pin.setItemText(ids::pin::ConfirmationEdit, QStringLiteral("口令1"));
    pin.setItemText(ids::pin::PinEdit, QStringLiteral("123456"));
    const char* tabs[] = {"02-main-device-info.png", "03-main-csp.png", "04-main-pin.png"};
    for (int index = 0; index < 3; ++index) {
        mainDialog.tabControl()->tabBar()->setCurrentIndex(index);
        tour.save(mainDialog, QString::fromLatin1(tabs[index]));
    }
    // An incomplete change writes its warning into the operation information edit.
    pin.setItemText(ids::pin::ConfirmationEdit, QString());
    if (auto* set = pin.controlAs<QAbstractButton>(ids::pin::SetPasswordButton))
        set->click();
    tour.save(mainDialog, QStringLiteral("04-main-pin-incomplete.png"));
    // The export dialog with a path typed, then the certificate window.
    tour.m_modal = [&tour](QDialog& dialog) {
        if (auto* exportDialog = qobject_cast<CertExportDialog*>(&dialog)) {
            exportDialog->setItemText(ids::certExport::PathEdit,
                                      QStringLiteral("/home/operator/证书/key.cer"));
            tour.save(dialog, QStringLiteral("05-cert-export.png"));
        }
    };
    mainDialog.tabControl()->tabBar()->setCurrentIndex(1);
    for (int id : {ids::csp::ExportCertButton, ids::csp::ViewCertButton})
        if (auto* button = csp.controlAs<QAbstractButton>(id))
            button->click();
    tour.m_modal = nullptr;
    mainDialog.tabControl()->tabBar()->setCurrentIndex(0);
    renderSealDialogsForTour(mainDialog.binding(), directory);

    mainDialog.close();
    setMainWindow(nullptr);
    setInteraction(nullptr);
    for (const QString& box : tour.m_boxes)
        std::fprintf(stdout, "box: %s\n", qPrintable(box));
    return 0;
}

} // namespace talvo
