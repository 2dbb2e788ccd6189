#include "KeyDriverBinding.h"

#include "platform/core/DebugTrace.h"

namespace talvo {

KeyDriverBinding::KeyDriverBinding()
{
    load();
}

KeyDriverBinding::~KeyDriverBinding() = default;

template <class Pointer> void KeyDriverBinding::bind(Pointer& pointer, const char* name)
{
    pointer = reinterpret_cast<Pointer>(m_library.symbol(name));
}

void KeyDriverBinding::load()
{
    if (!m_library.isLoaded())
        m_library = DynamicLibrary(kLibraryName);
    if (!m_library.isLoaded()) {
        debugTrace(QStringLiteral("TalvoDriver.dll加载失败......"));
        return;
    }
    for (const DriverFunction& function : kDriverFunctions)
        bindAt(function.position);
}

void KeyDriverBinding::bindAt(int position)
{
    switch (position) {
#define TALVO_BIND_AT(name, place, ...)                                                                      \
    case place:                                                                                              \
        bind(m_pf##name, #name);                                                                             \
        break;
        TALVO_DRIVER_FUNCTIONS(TALVO_BIND_AT, TALVO_BIND_AT)
#undef TALVO_BIND_AT
    default:
        break;
    }
}

int KeyDriverBinding::boundCount() const
{
    int count = 0;
    for (const char* name : kBoundNames)
        count += m_library.symbol(name) ? 1 : 0;
    return count;
}

void KeyDriverBinding::traceMissing(const char* traceName)
{
    if (!traceName)
        return;
    debugTrace(QString::fromUtf8(traceName) + QStringLiteral("函数获取失败......"));
}

} // namespace talvo
