// This program finds a driver that lacks TLShowDlg, TLKeyGetPublicKey, TLVerifySign,
// TLGetCertsNumFromIE, TLKeyReadCspName and every function the tool never calls.
#include "device/KeyDriverBinding.h"
#include "platform/core/DebugTrace.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

namespace {

using talvo::KeyDriverBinding;
using talvo::TraceCapture;

template <class Function> Function fakeControl(const char* name)
{
    void* library = dlopen("libTalvoDriver.so", RTLD_NOW | RTLD_NOLOAD);
    Function function = library ? reinterpret_cast<Function>(dlsym(library, name)) : nullptr;
    if (library)
        dlclose(library);
    return function;
}

class BindingPartialLibrary : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_binding.isLibraryLoaded());
        m_setStatus = fakeControl<void (*)(int32_t)>("FakeSetStatus");
        m_lastSelector = fakeControl<int32_t (*)()>("FakeLastSelector");
        ASSERT_NE(m_setStatus, nullptr);
        m_setStatus(0);
    }
    KeyDriverBinding m_binding;
    void (*m_setStatus)(int32_t) = nullptr;
    int32_t (*m_lastSelector)() = nullptr;
};

TEST_F(BindingPartialLibrary, BindsWhatTheLibraryExports)
{
    EXPECT_EQ(m_binding.boundCount(), 21);
}

TEST_F(BindingPartialLibrary, OnlyTheMissingOperationsFail)
{
    TraceCapture traces;
    uint32_t length = 0;
    uint8_t flag = 0;
    EXPECT_EQ(m_binding.TLKeyGetPublicKey(nullptr, &length), 1);
    EXPECT_EQ(m_binding.TLVerifySign("730264", 6, nullptr, 0, nullptr, 0, &flag), 1);
    EXPECT_EQ(m_binding.TLGetCertsNumFromIE(), 0);
    EXPECT_EQ(m_binding.TLKeyReadCspName(), nullptr);
    EXPECT_EQ(m_binding.TLShowDlg(), 0);
    EXPECT_EQ(traces.lines(), (QStringList{QStringLiteral("GetPublicKey函数获取失败......"),
                                           QStringLiteral("m_pfTLVerifySign函数获取失败......")}));

    traces.clear();
    EXPECT_EQ(m_binding.TLKeyLowFormat(), 0);
    EXPECT_TRUE(m_binding.TLKeyIsExist(4));
    EXPECT_TRUE(traces.lines().isEmpty());
}

TEST_F(BindingPartialLibrary, StatusesPassThroughUnchanged)
{
    for (int32_t status : {0, 1, 5, 8, 9, -1, 1000}) {
        m_setStatus(status);
        EXPECT_EQ(m_binding.TLKeyLowFormat(), status);
        int32_t count = 0;
        EXPECT_EQ(m_binding.TLKeyReadSealNum(&count), status);
    }
}

TEST_F(BindingPartialLibrary, KeyIsPresentOnlyForStatusZero)
{
    EXPECT_TRUE(m_binding.TLKeyIsExist(4));
    for (int32_t status : {1, 2, 3, 4, 5, 6, 7, 8, 9, -1}) {
        m_setStatus(status);
        EXPECT_FALSE(m_binding.TLKeyIsExist(4)) << status;
    }
}

TEST_F(BindingPartialLibrary, SelectorsReachTheDriverUnchanged)
{
    m_binding.TLKeyIsExist(0);
    EXPECT_EQ(m_lastSelector(), 0);
    char hash[40] = {};
    m_binding.TLKeyReadHash(hash, 2);
    EXPECT_EQ(m_lastSelector(), 2);
    char serial[100] = {};
    m_binding.TLKeyReadSerial(serial, 4);
    EXPECT_EQ(m_lastSelector(), 4);
}

} // namespace
