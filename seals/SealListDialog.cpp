#include "SealListDialog.h"

#include "SealListTable.h"
#include "SealNameDialog.h"
#include "SealPreview.h"
#include "SealTimeDialog.h"
#include "device/DriverConventions.h"
#include "device/StatusText.h"
#include "key/OperatorTexts.h"
#include "key/SealOperations.h"
#include "platform/core/Cp936Codec.h"
#include "platform/core/DebugTrace.h"
#include "platform/core/PictureFileReader.h"
#include "platform/core/PrivateDirectory.h"
#include "platform/core/PrivateFile.h"
#include "platform/widgets/FileErrorBox.h"
#include "platform/widgets/Interaction.h"
#include "resources/DialogTemplates.h"

#include <QComboBox>
#include <QPainter>

#include <cerrno>
#include <limits>
#include <memory>
#include <new>
#include <optional>

namespace talvo {

namespace L = ids::sealList;

namespace {

const QString kTemporaryPictureName = QStringLiteral("__tmpSealPicFile.dat");
const QString kPictureFilter = QStringLiteral("GIF Files (*.gif)|*.gif;||");

const QString kSealSelectedTrace = QStringLiteral("选择签章。。。。。。。。。。。。。。。。。");

// Built when a list opens, kept for the rest of the process.
QString g_temporaryPicturePath;

// Picture bytes sized by a file or by the driver: a size the machine cannot hold is reported
// as the key's own memory error rather than ending the process.
std::unique_ptr<uint8_t[]> allocatePictureBuffer(std::size_t size)
{
    return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[size]);
}

} // namespace

SealListDialog::SealListDialog(QWidget* parent) : TemplateDialog(dialogTemplate(IDD_SEAL_LIST), parent)
{
    m_sealCombo = controlAs<QComboBox>(L::SealCombo);
    // Only an operator's choice shows a seal; the list's own selection changes do not.
    if (m_sealCombo)
        connect(m_sealCombo, &QComboBox::activated, this, [this] { OnSelchangeSealCombo(); });
    onClicked(L::RefreshButton, [this] { RefreshSealList(); });
    onClicked(L::AddButton, [this] { OnButtonAddSeal(); });
    onClicked(L::DeleteButton, [this] { OnButtonDeleteSeal(); });
    onClicked(L::WriteTimeButton, [this] { OnButtonWriteSealTime(); });
}

QString SealListDialog::temporaryPicturePath()
{
    return g_temporaryPicturePath;
}

bool SealListDialog::onInitDialog()
{
    // An empty path means no private directory could be made; writing the picture then
    // fails as a file error at each selection.
    g_temporaryPicturePath = privateFilePath(kTemporaryPictureName);
    sealSlotTable().reset();
    RefreshSealList();
    return true;
}

void SealListDialog::RefreshSealList()
{
    if (!m_sealCombo)
        return;
    m_sealCombo->clear();
    SealSlotTable& table = sealSlotTable();
    if (onKey([&](KeyDriverBinding& key) { return readSealTable(key, table); }) != TL_OK) {
        windowMessageBox(this, kOperationFailedText, kErrorCaption, BoxIcon::Error);
        return;
    }
    // Placed by position, never by the list's sorting: position n is list index n.
    for (int position = 0; position < table.listedCount(); ++position) {
        const SealEntry* entry = table.listedEntry(position);
        m_sealCombo->insertItem(position, fromCp936(entry->name, sizeof entry->name));
    }
    m_sealCombo->setCurrentIndex(0);
    m_picturePath.clear();
    setItemText(L::ExpiryText, QString());
    setItemText(L::InitTimeText, QString());
    update();
}

void SealListDialog::OnSelchangeSealCombo()
{
    const int position = m_sealCombo ? m_sealCombo->currentIndex() : -1;
    if (position < 0)
        return;
    const SealSlotTable& table = sealSlotTable();
    const int32_t number = table.numberAt(position);
    if (!ExtractSealPicture(number, temporaryPicturePath()))
        return;
    m_picturePath = temporaryPicturePath();
    debugTrace(kSealSelectedTrace);
    update();
    // A number the key listed outside 101..110 has no slot of its own: show no times rather
    // than another seal's.
    const SealEntry* entry = table.entryForNumber(number);
    setItemText(L::ExpiryText, entry ? fromCp936(entry->expiryTime, kSealTimeMaxBytes) : QString());
    setItemText(L::InitTimeText, entry ? fromCp936(entry->initTime, kSealInitTimeMaxBytes) : QString());
}

bool SealListDialog::ExtractSealPicture(int32_t sealNumber, const QString& path)
{
    std::optional<TwoCallRead> picture;
    if (m_binding)
        picture.emplace(sealPictureRead(*m_binding, sealNumber));
    const int32_t status = picture ? picture->readUnlessEmpty() : TL_ERR_NO_DEVICE;
    if (status == TL_OK && picture->reportedLength() == 0) {
        debugTrace(kSealLengthWrongText);
        return false;
    }
    if (status != TL_OK) {
        showStatusMessage(status);
        debugTrace(kSealReadFailedText);
        return false;
    }
    return writePictureOrReport(path, picture->bytes(), picture->size());
}

bool SealListDialog::writePictureOrReport(const QString& path, const uint8_t* bytes, std::size_t size)
{
    // The temporary picture: whatever stands at its fixed name that is not the user's own plain
    // file is replaced.
    const int error = writePrivateFile(path, bytes, size);
    if (error == 0)
        return true;
    showFileErrorBox(path.isEmpty() ? kTemporaryPictureName : path, error);
    return false;
}

void SealListDialog::OnButtonAddSeal()
{
    FileDialogRequest request;
    request.owner = this;
    request.open = true;
    request.defaultExtension = QStringLiteral(".*");
    request.filter = kPictureFilter;
    const std::optional<QString> chosen = chooseFile(request);
    if (!chosen)
        return;
    const QString path = *chosen;
    update();

    PictureFileReader file(path);
    if (!file.isOpen() || file.size() == 0)
        return;
    // The driver takes the length as 32 bits; a longer file would reach the key cut short.
    if (file.size() > static_cast<int64_t>(std::numeric_limits<uint32_t>::max())) {
        windowMessageBox(this, kSealPictureTooLargeText, kErrorCaption, BoxIcon::Error);
        return;
    }
    const auto length = static_cast<uint32_t>(file.size());

    SealNameDialog nameDialog;
    if (nameDialog.doModal() != IDOK)
        return;
    char name[TL_SEAL_NAME_SIZE] = {};
    nameDialog.GetSealName(name);
    char expiry[TL_SEAL_TIME_SIZE] = {};
    nameDialog.GetExpiryTime(expiry);

    const std::unique_ptr<uint8_t[]> picture = allocatePictureBuffer(length);
    if (!picture) {
        showStatusMessage(TL_ERR_MEMORY);
        return;
    }
    if (const int error = file.readExactly(picture.get(), length); error != 0) {
        showFileErrorBox(path, error == PictureFileReader::kChanged ? EIO : error);
        return;
    }
    const int32_t status =
        onKey([&](KeyDriverBinding& key) { return addSeal(key, name, expiry, picture.get(), length); });
    if (status != TL_OK) {
        showStatusMessage(status);
        return;
    }
    showNotice(kOperationDoneText);
    RefreshSealList();
}

void SealListDialog::OnButtonDeleteSeal()
{
    const int position = m_sealCombo ? m_sealCombo->currentIndex() : -1;
    if (position < 0) {
        showNotice(kNoSealToDeleteText);
        return;
    }
    const int32_t number = sealSlotTable().numberAt(position);
    const int32_t status = onKey([&](KeyDriverBinding& key) { return deleteSeal(key, number); });
    if (status != TL_OK) {
        showStatusMessage(status);
        return;
    }
    RefreshSealList();
    showNotice(kOperationDoneText);
}

void SealListDialog::OnButtonWriteSealTime()
{
    const int position = m_sealCombo ? m_sealCombo->currentIndex() : -1;
    if (position < 0) {
        // The same text as for deleting, as the operators know it.
        showNotice(kNoSealToDeleteText);
        return;
    }
    SealTimeDialog timeDialog;
    if (timeDialog.doModal() != IDOK)
        return;
    char time[TL_SEAL_TIME_SIZE] = {};
    timeDialog.GetSealTime(time);
    const int32_t number = sealSlotTable().numberAt(position);
    const int32_t status = onKey([&](KeyDriverBinding& key) { return writeSealTime(key, number, time); });
    if (status != TL_OK) {
        showStatusMessage(status);
        return;
    }
    RefreshSealList();
    showNotice(kOperationDoneText);
}

void SealListDialog::showStatusMessage(int32_t status)
{
    windowMessageBox(this, statusText(status), kErrorCaption, BoxIcon::Error);
}

void SealListDialog::showNotice(const QString& text)
{
    windowMessageBox(this, text, kNoticeCaption, BoxIcon::Information);
}

void SealListDialog::paintEvent(QPaintEvent* event)
{
    TemplateDialog::paintEvent(event);
    if (m_picturePath.isEmpty())
        return;
    QPainter painter(this);
    drawSealPreview(painter, m_picturePath, rect().size());
}

} // namespace talvo
