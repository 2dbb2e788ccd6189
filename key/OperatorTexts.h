#pragma once

#include <QString>

namespace talvo {

// The texts that the pages, the dialogs and talvo-key all show the operator, written once.
inline const QString kNoticeCaption = QStringLiteral("提示");
inline const QString kErrorCaption = QStringLiteral("错误");
inline const QString kWarningCaption = QStringLiteral("警告");
inline const QString kOperationDoneText = QStringLiteral("操作成功");
inline const QString kOperationFailedText = QStringLiteral("操作失败");
inline const QString kKeyAbsentText = QStringLiteral("设备不存在");
inline const QString kNoDeviceInfoText = QStringLiteral("没有获取到设备信息!");
inline const QString kConfirmSetText = QStringLiteral("确定对信息进行设置吗?");
inline const QString kConfirmFormatText = QStringLiteral("你确定对设备进行初始化操作吗？");
inline const QString kModeErrorText = QStringLiteral("模式字符串输入有错误");
inline const QString kWrongPasswordText = QStringLiteral("密码错误，请重新输入！");
inline const QString kNoCertificateText = QStringLiteral("设备中没有数字证书!");
inline const QString kExportPathMissingText = QStringLiteral("请输入签名文件的路径!");
inline const QString kCertExportedText = QStringLiteral("导出证书成功");
inline const QString kCertExportFailedText = QStringLiteral("导出证书失败");
inline const QString kSealNameMissingText = QStringLiteral("请输入签章名称");
inline const QString kNoSealToDeleteText = QStringLiteral("没有要删除的签章");
inline const QString kSealPictureTooLargeText = QStringLiteral("签章图片文件太大，无法写入设备");
inline const QString kSealReadFailedText = QStringLiteral("获取签章数据失败。。。");
inline const QString kSealLengthWrongText = QStringLiteral("签章数据长度有误。。。");

} // namespace talvo
