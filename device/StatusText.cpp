#include "StatusText.h"

#include "platform/core/Cp936Codec.h"

#include <array>

namespace talvo {

namespace {

const std::array<const char*, 9> kTexts = {
    "操作成功。",        "设备不存在。",   "设备访问失败。",   "参数错误。",         "内存错误。",
    "API函数调用失败。", "设备空间不足。", "用户设备不存在。", "管理员设备不存在。",
};

const char* const kUnknown = "未知的错误代码";

} // namespace

void GetStatusText(int32_t code, char* buffer, std::size_t bufferSize)
{
    // Taken as unsigned, every negative code lands above the table.
    const auto index = static_cast<uint32_t>(code);
    const char* text = index < kTexts.size() ? kTexts[index] : kUnknown;
    copyToField(toCp936(QString::fromUtf8(text)), buffer, bufferSize);
}

QString statusText(int32_t code)
{
    char buffer[kStatusTextBufferSize] = {};
    GetStatusText(code, buffer);
    return fromCp936(buffer, sizeof buffer);
}

} // namespace talvo
