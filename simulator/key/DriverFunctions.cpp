#include "DriverFunctions.h"

#include <algorithm>

namespace talvo::sim {

const std::array<std::string_view, 26> kCalledFunctions = {"TLShowDlg",
                                                           "TLKeyIsExist",
                                                           "TLKeyInit",
                                                           "TLKeyVerifyUserPin",
                                                           "TLKeyLowFormat",
                                                           "TLKeyReadSerial",
                                                           "TLKeyCalcHash",
                                                           "TLKeyReadHash",
                                                           "TLKeyWriteHash",
                                                           "TLKeyCheckHash",
                                                           "TLKeyGetStatus",
                                                           "TLKeyReadKeyInfo",
                                                           "TLKeyWriteKeyBaseInfo",
                                                           "TLKeyWriteSealTime",
                                                           "TLKeyReadSealNum",
                                                           "TLKeyReadSealData",
                                                           "TLKeyWriteSealData",
                                                           "TLKeyDelSealData",
                                                           "TLKeyReadCert",
                                                           "TLKeyGetSignature",
                                                           "TLKeyGetPublicKey",
                                                           "TLVerifySign",
                                                           "TLGetCertsNumFromIE",
                                                           "TLRegCerts",
                                                           "TLRemoveAllCertsFromIE",
                                                           "TLKeyReadCspName"};

bool isCalledFunction(std::string_view name)
{
    return std::find(kCalledFunctions.begin(), kCalledFunctions.end(), name) != kCalledFunctions.end();
}

} // namespace talvo::sim
