#pragma once

// The ids of the dialog templates and of their controls, as the original's resource script
// numbered them. The dialogs, the tour and the tests all name a control from here; the
// standard OK and Cancel buttons are IDOK and IDCANCEL of platform/DialogTemplate.h.

namespace talvo {

enum DialogTemplateId {
    IDD_MAIN = 102,
    IDD_SEAL_LIST = 129,
    IDD_SEAL_NAME = 130,
    IDD_SEAL_TIME = 132,
    IDD_DEVICE_INFO = 133,
    IDD_CSP = 134,
    IDD_PIN = 135,
    IDD_CERT_EXPORT = 136,
    IDD_LOGIN = 137,
};

namespace ids {

namespace login {
enum : int {
    PasswordEdit = 1088,
};
} // namespace login

namespace main {
enum : int {
    TabControl = 1065,
    SerialEdit = 1017,
    RefreshButton = 1068,
    ExitButton = 1087,
};
} // namespace main

namespace deviceInfo {
enum : int {
    ModeEdit = 1012,
    PinHashEdit = 1070,
    UnitIdEdit = 1009,
    UserIdEdit = 1010,
    ErrorTimesEdit = 1016,
    SealCountEdit = 1015,
    ClearButton = 1027,
    InitialiseButton = 1059,
    SetButton = 1024,
    ViewButton = 1023,
    SealManagementButton = 1062,
    FactoryCheck = 1064,
    InitCheck = 1020,
    FormatCheck = 1019,
    LockCheck = 1021,
    TimeControlCheck = 1095,
    KeyRoleCheck = 1096,
};
} // namespace deviceInfo

namespace csp {
enum : int {
    PinEdit = 1025,
    HashButton = 1061,
    ClearButton = 1027,
    HashEdit = 1008,
    ExportCertButton = 1063,
    ViewCertButton = 1066,
    SignatureEdit = 1062,
    CertTextButton = 1064,
    CspNameButton = 1097,
    VerifyButton = 1065,
    OriginalFileEdit = 1078,
    OriginalFileBrowse = 1080,
    SavePathEdit = 1079,
    SavePathBrowse = 1054,
    GenerateButton = 1029,
    SecureFileEdit = 1047,
    SecureFileBrowse = 1084,
    ParseButton = 1030,
    TargetFileEdit = 1083,
    TargetFileBrowse = 1085,
    UserKeyButton = 1087,
};
} // namespace csp

namespace certExport {
enum : int {
    PathEdit = 1084,
    BrowseButton = 1085,
    ExportButton = 1086,
    CancelButton = 1087,
};
} // namespace certExport

namespace pin {
enum : int {
    OldPasswordEdit = 1071,
    NewPasswordEdit = 1072,
    ConfirmationEdit = 1073,
    SetPasswordButton = 1074,
    ReadHashButton = 1099,
    PinEdit = 1088,
    CheckPinButton = 1087,
    DriverDialogButton = 1089,
    InformationEdit = 1075,
    RemoveCertsButton = 1091,
    RegisterCertsButton = 1092,
    CountCertsButton = 1093,
    IssueOperatorButton = 1098,
};
} // namespace pin

namespace sealList {
enum : int {
    SealCombo = 1029,
    RefreshButton = 1030,
    AddButton = 1031,
    DeleteButton = 1032,
    ExpiryText = 1033,
    WriteTimeButton = 1041,
    InitTimeText = 1034,
};
} // namespace sealList

namespace sealName {
enum : int {
    NameEdit = 1034,
    Calendar = 1040,
};
} // namespace sealName

namespace sealTime {
enum : int {
    Calendar = 1040,
};
} // namespace sealTime

} // namespace ids

} // namespace talvo
