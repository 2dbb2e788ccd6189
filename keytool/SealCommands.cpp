#include "SealCommands.h"
#include "key/OperatorTexts.h"
#include "platform/core/CertificateFile.h"

#include "Console.h"
#include "DayText.h"
#include "ExitStatus.h"
#include "OutputPath.h"
#include "device/DriverConventions.h"
#include "device/KeyDriverBinding.h"
#include "device/StatusText.h"
#include "key/BaseRecord.h"
#include "key/SealOperations.h"
#include "key/SealTexts.h"
#include "platform/core/Cp936Codec.h"
#include "platform/core/FileErrorText.h"
#include "platform/core/LocaleText.h"
#include "platform/core/NativePath.h"
#include "platform/core/PictureFileReader.h"
#include <cerrno>
#include <limits>
#include <new>
#include <set>

namespace talvo::keytool {

namespace {

std::optional<int32_t> sealNumber(const std::string& text)
{
    if (text.size() != 3 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const int32_t number = std::stoi(text);
    if (number < TL_FIRST_SEAL_NUMBER || number >= TL_FIRST_SEAL_NUMBER + TL_SEAL_SLOTS)
        return std::nullopt;
    return number;
}

// The seal list dialog's text, for a picture that the driver or the memory cannot take.

std::set<int32_t> listedNumbers(const SealSlotTable& table)
{
    std::set<int32_t> numbers;
    for (int position = 0; position < table.listedCount(); ++position)
        numbers.insert(table.numberAt(position));
    return numbers;
}

// "刷新": the key's record read again and the list built from it. 0, or the exit status.
int refreshList(KeyDriverBinding& binding, SealSlotTable& table, Console& console)
{
    if (const int32_t status = readSealTable(binding, table); status != TL_OK) {
        console.statusFailure(status);
        console.message(kOperationFailedText, kErrorCaption);
        return kExitFailure;
    }
    return kExitSuccess;
}

} // namespace

SealCommands::SealCommands(const Invocation& invocation)
    : m_command(invocation.command), m_invocation(invocation)
{
}

int SealCommands::check(Console& console)
{
    const std::vector<std::string>& arguments = m_invocation.arguments;
    if (m_command == CommandId::SealsExport || m_command == CommandId::SealsDelete ||
        m_command == CommandId::SealsTime) {
        const std::optional<int32_t> number = sealNumber(arguments.at(0));
        if (!number)
            return console.usageFailure(QStringLiteral("'%1' is no seal number (101 to 110)")
                                            .arg(fromLocaleEncoding(arguments.at(0))));
        m_number = *number;
    }
    if (m_command == CommandId::SealsTime) {
        const std::optional<std::string> time = midnightOfDay(arguments.at(1));
        if (!time)
            return console.usageFailure(
                QStringLiteral("'%1' is no day (YYYY-MM-DD)").arg(fromLocaleEncoding(arguments.at(1))));
        copyToField(*time, m_time);
    }
    if (m_command == CommandId::SealsExport) {
        m_path = decodeNativePath(arguments.at(1));
        if (const QString problem = outputPathProblem(m_path); !problem.isEmpty())
            return console.usageFailure(problem, kErrorCaption);
    }
    if (m_command != CommandId::SealsAdd)
        return kExitSuccess;

    const std::optional<std::string> nameArgument = m_invocation.value("--name");
    const std::optional<std::string> expiryArgument = m_invocation.value("--expiry");
    if (!nameArgument || !expiryArgument)
        return console.usageFailure(QStringLiteral("seals add needs --name NAME and --expiry YYYY-MM-DD"));
    const QString name = fromLocaleEncoding(*nameArgument);
    const std::string nameBytes = toCp936(name);
    if (fromCp936(nameBytes) != name)
        return console.usageFailure(QStringLiteral("--name: the key's code page (GBK) cannot hold the name"));
    // The name edit refuses a byte more than the key's field holds, blanks included.
    if (nameBytes.size() > kSealNameMaxBytes)
        return console.usageFailure(QStringLiteral("--name: at most %1 bytes in the key's code page, not %2")
                                        .arg(kSealNameMaxBytes)
                                        .arg(nameBytes.size()));
    const std::string trimmed = trimSealName(nameBytes);
    if (trimmed.empty())
        return console.usageFailure(kSealNameMissingText, kNoticeCaption);
    copyToField(trimmed, m_name);
    const std::optional<std::string> expiry = midnightOfDay(*expiryArgument);
    if (!expiry)
        return console.usageFailure(
            QStringLiteral("--expiry: '%1' is no day (YYYY-MM-DD)").arg(fromLocaleEncoding(*expiryArgument)));
    copyToField(*expiry, m_time);

    // Only the file's metadata now: the picture is read once the password is right.
    m_path = decodeNativePath(arguments.at(0));
    m_pictureFile = std::make_unique<PictureFileReader>(m_path);
    if (!m_pictureFile->isOpen())
        return console.usageFailure(fileErrorText(m_path, m_pictureFile->openError()), kErrorCaption);
    if (m_pictureFile->size() == 0)
        return console.usageFailure(QStringLiteral("%1 is empty: no seal picture").arg(m_path));
    // The driver takes the length as 32 bits; a longer file would reach the key cut short.
    if (m_pictureFile->size() > static_cast<int64_t>(std::numeric_limits<uint32_t>::max()))
        return console.usageFailure(kSealPictureTooLargeText, kErrorCaption);
    m_pictureLength = static_cast<uint32_t>(m_pictureFile->size());
    return kExitSuccess;
}

int SealCommands::prepare(Console& console)
{
    if (m_command != CommandId::SealsAdd)
        return kExitSuccess;
    m_picture.reset(new (std::nothrow) uint8_t[m_pictureLength]);
    if (!m_picture)
        return console.usageFailure(kSealPictureTooLargeText, kErrorCaption);
    const int error = m_pictureFile->readExactly(m_picture.get(), m_pictureLength);
    if (error == PictureFileReader::kChanged)
        return console.usageFailure(QStringLiteral("%1: the file changed while it was read").arg(m_path),
                                    kErrorCaption);
    if (error != 0)
        return console.usageFailure(fileErrorText(m_path, error), kErrorCaption);
    m_pictureFile.reset();
    return kExitSuccess;
}

int SealCommands::openList(KeyDriverBinding& binding, Console& console)
{
    if (!keyPresent(binding)) {
        console.message(kKeyAbsentText, kNoticeCaption);
        return kExitFailure;
    }
    m_table.reset();
    return refreshList(binding, m_table, console);
}

bool SealCommands::isListed(int32_t number) const
{
    return listedNumbers(m_table).count(number) != 0;
}

int SealCommands::run(KeyDriverBinding& binding, Console& console)
{
    if (const int opened = openList(binding, console); opened != kExitSuccess)
        return opened;
    if (m_command != CommandId::SealsList && m_command != CommandId::SealsAdd && !isListed(m_number)) {
        // The dialog's text wherever no seal is there to act on.
        console.message(kNoSealToDeleteText, kNoticeCaption);
        return kExitFailure;
    }
    switch (m_command) {
    case CommandId::SealsExport:
        return runExport(binding, console);
    case CommandId::SealsAdd:
        return runAdd(binding, console);
    case CommandId::SealsDelete:
        return runDelete(binding, console);
    case CommandId::SealsTime:
        return runTime(binding, console);
    default:
        return runList(console);
    }
}

int SealCommands::runList(Console& console)
{
    const SealSlotTable& table = m_table;
    std::vector<QJsonArray> rows;
    for (int position = 0; position < table.listedCount(); ++position) {
        const int32_t number = table.numberAt(position);
        const SealEntry* listed = table.listedEntry(position);
        // Times as the dialog shows them for a selected seal: from its own slot, none for a
        // number outside 101..110.
        const SealEntry* slot = table.entryForNumber(number);
        rows.push_back({number, fromCp936(listed->name, sizeof listed->name),
                        slot ? fromCp936(slot->expiryTime, kSealTimeMaxBytes) : QString(),
                        slot ? fromCp936(slot->initTime, kSealInitTimeMaxBytes) : QString()});
    }
    console.output().addRows(QStringLiteral("seals"),
                             {QStringLiteral("number"), QStringLiteral("name"), QStringLiteral("expiryTime"),
                              QStringLiteral("initTime")},
                             rows);
    return kExitSuccess;
}

int SealCommands::runExport(KeyDriverBinding& binding, Console& console)
{
    TwoCallRead picture = sealPictureRead(binding, m_number);
    const int32_t status = picture.readUnlessEmpty();
    if (status == TL_OK && picture.reportedLength() == 0) {
        console.message(kSealLengthWrongText, kErrorCaption);
        return kExitFailure;
    }
    if (status != TL_OK) {
        console.statusFailure(status);
        console.message(kSealReadFailedText, kErrorCaption);
        return kExitFailure;
    }
    if (const int error = writeCertificateFile(m_path, picture.bytes(), picture.size()); error != 0) {
        console.message(fileErrorText(m_path, error), kErrorCaption);
        return kExitFailure;
    }
    return kExitSuccess;
}

int SealCommands::runAdd(KeyDriverBinding& binding, Console& console)
{
    const std::set<int32_t> before = listedNumbers(m_table);
    const int32_t status = addSeal(binding, m_name, m_time, m_picture.get(), m_pictureLength);
    if (status != TL_OK)
        return console.statusFailure(status);
    console.notice(kOperationDoneText);
    // The key chooses the new seal's slot; the list read again names it.
    if (refreshList(binding, m_table, console) == kExitSuccess) {
        for (int32_t number : listedNumbers(m_table)) {
            if (before.count(number) == 0)
                console.notice(QStringLiteral("number: %1").arg(number));
        }
    }
    return kExitSuccess;
}

int SealCommands::runDelete(KeyDriverBinding& binding, Console& console)
{
    const int32_t status = deleteSeal(binding, m_number);
    if (status != TL_OK)
        return console.statusFailure(status);
    refreshList(binding, m_table, console);
    console.notice(kOperationDoneText);
    return kExitSuccess;
}

int SealCommands::runTime(KeyDriverBinding& binding, Console& console)
{
    const int32_t status = writeSealTime(binding, m_number, m_time);
    if (status != TL_OK)
        return console.statusFailure(status);
    refreshList(binding, m_table, console);
    console.notice(kOperationDoneText);
    return kExitSuccess;
}

} // namespace talvo::keytool
