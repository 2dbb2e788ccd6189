#include "DialogTemplates.h"

#include <cstdio>
#include <cstdlib>

namespace talvo {

namespace {

using K = ControlKind;
using namespace ids;
constexpr int N = kNoControlId;

// Where a window's controls name no styles of their own (the pages and the export dialog),
// every edit, button and check box has the tab stop that a resource script gives it. The
// export dialog's "确定" is its default button: Enter in the path field exports, where the
// dialog's own OK would close it with nothing written.
// clang-format off
const DialogTemplate kLogin{IDD_LOGIN, "登录", "System", 10, 159, 50, false,
    {
        {login::PasswordEdit, K::PasswordEdit, "", 59, 10, 88, 14, StyleTabStop},
        {N, K::Static, "请输入密码：", 7, 13, 49, 8},
        {IDOK, K::DefaultPushButton, "确定", 102, 29, 50, 14, StyleTabStop},
        {IDCANCEL, K::PushButton, "取消", 7, 29, 50, 14, StyleTabStop},
    }};

const DialogTemplate kMain{IDD_MAIN, "内部工具", "宋体", 9, 301, 209, false,
    {
        {main::TabControl, K::TabControl, "", 0, 0, 300, 189},
        {N, K::Static, "设备序列号", 11, 195, 41, 8},
        {main::SerialEdit, K::Edit, "", 55, 192, 106, 14, StyleTabStop},
        {main::RefreshButton, K::PushButton, "刷新列表", 170, 192, 50, 13},
        {main::ExitButton, K::PushButton, "退出", 239, 192, 50, 13},
    }};

const DialogTemplate kDeviceInfo{IDD_DEVICE_INFO, "", "宋体", 9, 282, 171, true,
    {
        {N, K::GroupBox, "设备信息", 3, 6, 266, 146},
        {N, K::Static, "模式：", 11, 17, 24, 8},
        {N, K::Static, "口令哈希：", 11, 35, 41, 9},
        {N, K::Static, "单位ID：", 11, 54, 33, 9},
        {N, K::Static, "用户ID：", 11, 73, 33, 8},
        {N, K::Static, "错误次数：", 11, 91, 40, 9},
        {N, K::Static, "签章个数：", 11, 110, 42, 8},
        {deviceInfo::ModeEdit, K::Edit, "", 53, 14, 146, 14, StyleTabStop},
        {deviceInfo::PinHashEdit, K::Edit, "", 53, 33, 146, 14, StyleTabStop},
        {deviceInfo::UnitIdEdit, K::Edit, "", 53, 52, 146, 14, StyleTabStop},
        {deviceInfo::UserIdEdit, K::Edit, "", 53, 71, 146, 14, StyleTabStop},
        {deviceInfo::ErrorTimesEdit, K::Edit, "", 53, 90, 146, 14, StyleTabStop},
        {deviceInfo::SealCountEdit, K::Edit, "", 53, 109, 146, 14, StyleTabStop},
        {deviceInfo::ClearButton, K::PushButton, "清除界面", 208, 19, 47, 14, StyleTabStop},
        {deviceInfo::InitialiseButton, K::PushButton, "初始化", 208, 39, 47, 14, StyleTabStop},
        {deviceInfo::SetButton, K::PushButton, "设置信息", 208, 59, 47, 14, StyleTabStop},
        {deviceInfo::ViewButton, K::PushButton, "查看信息", 208, 79, 47, 14, StyleTabStop},
        {deviceInfo::SealManagementButton, K::DefaultPushButton, "签章管理", 208, 108, 47, 14, StyleTabStop},
        {deviceInfo::FactoryCheck, K::CheckBox, "出厂", 11, 131, 34, 10, StyleTabStop},
        {deviceInfo::InitCheck, K::CheckBox, "初始化", 45, 131, 37, 10, StyleTabStop},
        {deviceInfo::FormatCheck, K::CheckBox, "格式化", 88, 131, 37, 10, StyleTabStop},
        {deviceInfo::LockCheck, K::CheckBox, "锁定", 130, 131, 34, 10, StyleTabStop},
        {deviceInfo::TimeControlCheck, K::CheckBox, "时间控制", 164, 131, 48, 10, StyleTabStop},
        {deviceInfo::KeyRoleCheck, K::CheckBox, "正副KEY", 213, 131, 44, 10, StyleTabStop},
    }};

const DialogTemplate kCsp{IDD_CSP, "", "宋体", 9, 272, 172, true,
    {
        {N, K::GroupBox, "CSP服务", 0, 4, 271, 164},
        {N, K::Static, "口令：", 9, 17, 28, 9},
        {csp::PinEdit, K::PasswordEdit, "", 48, 14, 110, 13, StyleTabStop},
        {csp::HashButton, K::PushButton, "计算Hash值", 159, 15, 51, 12, StyleTabStop},
        {csp::ClearButton, K::PushButton, "清除界面", 215, 15, 51, 12, StyleTabStop},
        {N, K::Static, "哈希值：", 8, 33, 34, 8},
        {csp::HashEdit, K::Edit, "", 47, 31, 163, 14, StyleTabStop},
        {csp::ExportCertButton, K::PushButton, "导出数字证书", 215, 31, 51, 12, StyleFlat | StyleTabStop},
        {csp::ViewCertButton, K::PushButton, "查看数字证书", 215, 44, 51, 12, StyleFlat | StyleTabStop},
        {N, K::Static, "签名信息：", 4, 51, 40, 9},
        {csp::SignatureEdit, K::MultiLineEdit, "", 47, 49, 164, 30, StyleVerticalScroll | StyleWantReturn | StyleTabStop},
        {csp::CertTextButton, K::PushButton, "获取公钥信息", 216, 57, 51, 12, StyleFlat | StyleTabStop},
        {csp::CspNameButton, K::PushButton, "CSP", 0, 64, 44, 14, StyleTabStop},
        {csp::VerifyButton, K::PushButton, "验证签名信息", 216, 70, 51, 12, StyleFlat | StyleTabStop},
        {N, K::GroupBox, "发送安全报文", 5, 83, 263, 40},
        {N, K::Static, "原始文件：", 7, 97, 40, 8},
        {csp::OriginalFileEdit, K::Edit, "", 48, 92, 148, 13, StyleTabStop},
        {csp::OriginalFileBrowse, K::PushButton, "…", 198, 92, 15, 13, StyleTabStop},
        {N, K::Static, "保存路径：", 7, 110, 40, 8},
        {csp::SavePathEdit, K::Edit, "", 48, 107, 148, 13, StyleTabStop},
        {csp::SavePathBrowse, K::PushButton, "…", 198, 107, 15, 13, StyleTabStop},
        {csp::GenerateButton, K::PushButton, "生成安全报文", 215, 99, 52, 12, StyleTabStop},
        {N, K::GroupBox, "接受安全报文", 5, 123, 263, 41},
        {N, K::Static, "安全文件：", 7, 137, 40, 8},
        {csp::SecureFileEdit, K::Edit, "", 48, 133, 148, 13, StyleTabStop},
        {csp::SecureFileBrowse, K::PushButton, "…", 198, 133, 15, 13, StyleTabStop},
        {csp::ParseButton, K::PushButton, "解析安全报文", 214, 132, 52, 12, StyleTabStop},
        {N, K::Static, "目标文件：", 7, 151, 40, 8},
        {csp::TargetFileEdit, K::Edit, "", 48, 149, 148, 13, StyleTabStop},
        {csp::TargetFileBrowse, K::PushButton, "…", 198, 149, 15, 13, StyleTabStop},
        {csp::UserKeyButton, K::PushButton, "用户key", 218, 149, 50, 14, StyleTabStop},
    }};

const DialogTemplate kCertExport{IDD_CERT_EXPORT, "请选择导出证书保存路径", "宋体", 9, 199, 52, false,
    {
        {certExport::PathEdit, K::Edit, "", 13, 9, 158, 14, StyleTabStop},
        {certExport::BrowseButton, K::PushButton, "…", 173, 9, 17, 14, StyleTabStop},
        {certExport::ExportButton, K::DefaultPushButton, "确定", 31, 30, 52, 14, StyleTabStop},
        {certExport::CancelButton, K::PushButton, "取消", 100, 30, 52, 14, StyleTabStop},
    }};

const DialogTemplate kPin{IDD_PIN, "", "宋体", 9, 273, 196, true,
    {
        {N, K::GroupBox, "密码设置", 4, 2, 263, 125},
        {N, K::Static, "旧密码：", 17, 19, 33, 10},
        {N, K::Static, "新密码：", 17, 34, 33, 9},
        {pin::OldPasswordEdit, K::PasswordEdit, "", 51, 17, 63, 12, StyleTabStop},
        {pin::NewPasswordEdit, K::PasswordEdit, "", 51, 32, 63, 12, StyleTabStop},
        {N, K::Static, "注：密码长度不能超过6位", 117, 34, 98, 10},
        {N, K::Static, "密码确认：", 9, 49, 41, 8},
        {pin::ConfirmationEdit, K::PasswordEdit, "", 51, 47, 63, 12, StyleTabStop},
        {pin::SetPasswordButton, K::PushButton, "设置密码", 118, 47, 44, 13, StyleTabStop},
        {pin::ReadHashButton, K::PushButton, "readhash", 182, 47, 50, 14, StyleTabStop},
        {N, K::Static, "输入PIN码：", 124, 19, 48, 10},
        {pin::PinEdit, K::PasswordEdit, "", 173, 17, 49, 12, StyleTabStop},
        {pin::CheckPinButton, K::PushButton, "校验", 227, 17, 35, 11, StyleTabStop},
        {pin::DriverDialogButton, K::PushButton, "对话框", 226, 33, 40, 12, StyleHidden | StyleTabStop},
        {N, K::Static, "操作信息提示：", 9, 67, 61, 8},
        {pin::InformationEdit, K::Edit, "", 13, 77, 238, 47, StyleTabStop},
        {pin::RemoveCertsButton, K::PushButton, "删除IE中的证书", 10, 145, 65, 14, StyleTabStop},
        {pin::RegisterCertsButton, K::PushButton, "注册证书", 90, 145, 50, 14, StyleTabStop},
        {pin::CountCertsButton, K::PushButton, "取得IE中证书的数目", 155, 145, 75, 14, StyleTabStop},
        {pin::IssueOperatorButton, K::PushButton, "发操作员", 12, 165, 50, 14, StyleTabStop},
    }};

const DialogTemplate kSealList{IDD_SEAL_LIST, "签章信息", "宋体", 9, 274, 236, false,
    {
        {N, K::GroupBox, "", 7, 7, 260, 32},
        {N, K::Static, "请选择签章", 13, 21, 41, 8},
        {sealList::SealCombo, K::DropDownList, "", 61, 19, 145, 98, StyleVerticalScroll | StyleSort | StyleTabStop},
        {sealList::RefreshButton, K::PushButton, "刷新", 211, 19, 50, 14},
        {sealList::AddButton, K::PushButton, "添加签章", 44, 215, 58, 14},
        {sealList::DeleteButton, K::PushButton, "删除签章", 107, 215, 58, 14},
        {sealList::ExpiryText, K::Static, "", 96, 195, 141, 8},
        {N, K::GroupBox, "预览", 7, 41, 260, 169},
        {sealList::WriteTimeButton, K::PushButton, "写签章时间", 171, 215, 50, 14},
        {N, K::Static, "签章到期时间", 39, 196, 49, 8},
        {sealList::InitTimeText, K::Static, "", 96, 177, 141, 8},
        {N, K::Static, "签章初始化时间", 31, 178, 57, 8},
    }};

const DialogTemplate kSealName{IDD_SEAL_NAME, "", "宋体", 9, 210, 177, false,
    {
        {IDOK, K::DefaultPushButton, "确定", 91, 156, 50, 14},
        {IDCANCEL, K::PushButton, "取消", 153, 156, 50, 14},
        {N, K::GroupBox, "请输入图章名称", 7, 7, 196, 36},
        {sealName::NameEdit, K::Edit, "", 14, 20, 178, 14, StyleTabStop},
        {N, K::GroupBox, "请选择签章过期时间", 7, 47, 196, 103},
        {sealName::Calendar, K::MonthCalendar, "", 15, 59, 180, 87, StyleTabStop},
    }};

const DialogTemplate kSealTime{IDD_SEAL_TIME, "签章时间", "宋体", 9, 193, 123, false,
    {
        {IDOK, K::DefaultPushButton, "确定", 80, 102, 50, 14},
        {IDCANCEL, K::PushButton, "取消", 136, 102, 50, 14},
        {sealTime::Calendar, K::MonthCalendar, "", 7, 7, 179, 87, StyleTabStop},
    }};
// clang-format on

} // namespace

const DialogTemplate& dialogTemplate(int id)
{
    for (const DialogTemplate* candidate :
         {&kLogin, &kMain, &kDeviceInfo, &kCsp, &kCertExport, &kPin, &kSealList, &kSealName, &kSealTime}) {
        if (candidate->id == id)
            return *candidate;
    }
    std::fprintf(stderr, "no dialog template %d\n", id);
    std::abort();
}

} // namespace talvo
