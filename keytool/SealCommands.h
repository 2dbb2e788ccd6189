#pragma once

#include "CommandLine.h"
#include "KeyCommand.h"
#include "device/TalvoDriverApi.h"
#include "key/SealSlotTable.h"
#include "platform/core/PictureFileReader.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <string>

namespace talvo::keytool {

// The seal list dialog's operations, opened as "签章管理" opens it: the key's presence first,
// then the list read from the key, then the operation on a listed seal.
class SealCommands : public KeyCommand {
public:
    explicit SealCommands(const Invocation& invocation);

    int check(Console& console) override;
    int prepare(Console& console) override;
    int run(KeyDriverBinding& binding, Console& console) override;

private:
    // The presence check and the list; 0, or the exit status after saying why.
    int openList(KeyDriverBinding& binding, Console& console);
    bool isListed(int32_t number) const;

    int runList(Console& console);
    int runExport(KeyDriverBinding& binding, Console& console);
    int runAdd(KeyDriverBinding& binding, Console& console);
    int runDelete(KeyDriverBinding& binding, Console& console);
    int runTime(KeyDriverBinding& binding, Console& console);

    CommandId m_command;
    Invocation m_invocation;
    // The command's own copy of the key's seal table, as the list dialog keeps one.
    SealSlotTable m_table;
    int32_t m_number = 0;
    QString m_path;
    char m_name[TL_SEAL_NAME_SIZE] = {};
    char m_time[TL_SEAL_TIME_SIZE] = {};
    std::unique_ptr<PictureFileReader> m_pictureFile;
    std::unique_ptr<uint8_t[]> m_picture;
    uint32_t m_pictureLength = 0;
};

} // namespace talvo::keytool
