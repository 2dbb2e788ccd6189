// This program finds no driver library at all.
#include "device/KeyDriverBinding.h"
#include "platform/core/DebugTrace.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

namespace {

using talvo::KeyDriverBinding;
using talvo::TraceCapture;

TEST(BindingWithoutLibrary, ConstructsAndTracesTheLoadFailureOnce)
{
    TraceCapture traces;
    KeyDriverBinding binding;
    EXPECT_FALSE(binding.isLibraryLoaded());
    EXPECT_EQ(binding.boundCount(), 0);
    EXPECT_EQ(traces.lines(), QStringList{QStringLiteral("TalvoDriver.dll加载失败......")});
    EXPECT_NE(binding.loadError().find("libTalvoDriver.so"), std::string::npos);
}

TEST(BindingWithoutLibrary, KeyCountsAsAbsentWithATraceAtEachCall)
{
    KeyDriverBinding binding;
    TraceCapture traces;
    EXPECT_FALSE(binding.TLKeyIsExist(4));
    EXPECT_FALSE(binding.TLKeyIsExist(0));
    EXPECT_EQ(traces.lines(), QStringList(2, QStringLiteral("TLKeyIsExist函数获取失败......")));
}

TEST(BindingWithoutLibrary, EveryStatusOperationAnswersOneWithItsTrace)
{
    KeyDriverBinding binding;
    char text[100] = {};
    uint8_t bytes[16] = {};
    uint32_t length = 0;
    int32_t count = 0;
    uint8_t flag = 0;
    KeyInfo info{};
    const std::vector<std::pair<QString, std::function<int32_t()>>> operations = {
        {"TLKeyInit", [&] { return binding.TLKeyInit(3, "a", "b"); }},
        {"TLKeyVerifyUserPin", [&] { return binding.TLKeyVerifyUserPin("1"); }},
        {"TLKeyLowFormat", [&] { return binding.TLKeyLowFormat(); }},
        {"TLKeyReadSerial", [&] { return binding.TLKeyReadSerial(text, 4); }},
        {"TLKeyCalcHash", [&] { return binding.TLKeyCalcHash("730264", 6, text); }},
        {"TLKeyReadHash", [&] { return binding.TLKeyReadHash(text, 2); }},
        {"TLKeyWriteHash", [&] { return binding.TLKeyWriteHash(text, 4); }},
        {"TLKeyCheckHash", [&] { return binding.TLKeyCheckHash("1", 1, &flag); }},
        {"TLKeyGetStatus", [&] { return binding.TLKeyGetStatus(&length); }},
        {"TLKeyReadKeyInfo", [&] { return binding.TLKeyReadKeyInfo(&info); }},
        {"TLKeyWriteKeyBaseInfo", [&] { return binding.TLKeyWriteKeyBaseInfo(info.base); }},
        {"TLKeyWriteSealTime", [&] { return binding.TLKeyWriteSealTime(101, text); }},
        {"TLKeyReadSealNum", [&] { return binding.TLKeyReadSealNum(&count); }},
        {"TLKeyReadSealData", [&] { return binding.TLKeyReadSealData(101, nullptr, &length); }},
        {"TLKeyWriteSealData", [&] { return binding.TLKeyWriteSealData(text, text, bytes, 1); }},
        {"TLKeyDelSealData", [&] { return binding.TLKeyDelSealData(101); }},
        {"TLKeyReadCert", [&] { return binding.TLKeyReadCert(nullptr, &length); }},
        {"TLKeyGetSignature", [&] { return binding.TLKeyGetSignature("730264", 6, nullptr, &length); }},
        {"GetPublicKey", [&] { return binding.TLKeyGetPublicKey(nullptr, &length); }},
        {"m_pfTLVerifySign", [&] { return binding.TLVerifySign("730264", 6, bytes, 1, bytes, 1, &flag); }},
    };
    for (const auto& [traceName, call] : operations) {
        TraceCapture traces;
        EXPECT_EQ(call(), 1) << qPrintable(traceName);
        EXPECT_EQ(traces.lines(), QStringList(traceName + QStringLiteral("函数获取失败......")));
    }
}

TEST(BindingWithoutLibrary, ResultOperationsAnswerSilently)
{
    KeyDriverBinding binding;
    TraceCapture traces;
    EXPECT_EQ(binding.TLGetCertsNumFromIE(), 0);
    EXPECT_FALSE(binding.TLRegCerts());
    EXPECT_FALSE(binding.TLRemoveAllCertsFromIE());
    EXPECT_EQ(binding.TLKeyReadCspName(), nullptr);
    binding.TLShowDlg();
    EXPECT_TRUE(traces.lines().isEmpty()) << qPrintable(traces.lines().join('\n'));
}

} // namespace
