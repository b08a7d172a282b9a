#pragma once

// The ids of the dialogs' controls, shared by every language's templates and the window classes that
// find their controls by them. The same number may name different controls in different dialogs.

// A control without an id of its own.
inline constexpr int IDC_STATIC = -1;
// The buttons that end a dialog with the OK or cancel result. Windows' own headers define them, with
// the same values, as macros.
#ifndef IDOK
inline constexpr int IDOK = 1;
#endif
#ifndef IDCANCEL
inline constexpr int IDCANCEL = 2;
#endif

namespace about_box {
inline constexpr int kOk = IDOK;
}  // namespace about_box

namespace main_window {
inline constexpr int kProductsLabel = 1009;
inline constexpr int kProducts = 1049;
inline constexpr int kGraphicsLabel = 1012;
inline constexpr int kGraphics = 1016;
inline constexpr int kDriverLabel = 1013;
inline constexpr int kDriver = 1017;
inline constexpr int kOSLabel = 1014;
inline constexpr int kOS = 1020;
inline constexpr int kCPULabel = 1019;
inline constexpr int kCPU = 1021;
inline constexpr int kRAMLabel = 1023;
inline constexpr int kRAM = 1022;
inline constexpr int kPrintersLabel = 1015;
inline constexpr int kPrinters = 1050;
inline constexpr int kFAQ = 1068;
inline constexpr int kLanguage = 1089;
inline constexpr int kCopyInfo = 1067;
inline constexpr int kSupport = 4;
inline constexpr int kUpdates = 3;
}  // namespace main_window

namespace update_box {
inline constexpr int kUpdates = 1000;
inline constexpr int kName = 1001;
inline constexpr int kDescription = 1002;
inline constexpr int kVersion = 1003;
inline constexpr int kFileName = 1004;
inline constexpr int kSize = 1005;
inline constexpr int kDetailsLink = 1051;
inline constexpr int kDownload = 4;
inline constexpr int kClose = 8;
}  // namespace update_box

namespace download_dialog {
inline constexpr int kFileLabel = 1004;
inline constexpr int kFile = 1064;
inline constexpr int kSizeLabel = 1061;
inline constexpr int kSize = 1065;
inline constexpr int kLoadedLabel = 1062;
inline constexpr int kLoaded = 1066;
inline constexpr int kProgress = 1063;
inline constexpr int kInstall = 1006;
inline constexpr int kCancel = 1008;
}  // namespace download_dialog

namespace send_dialog {
inline constexpr int kSend = 1025;
inline constexpr int kCancel = IDCANCEL;
inline constexpr int kProductLabel = 1028;
inline constexpr int kProductVersionLabel = 1027;
inline constexpr int kProblemTypeLabel = 1026;
inline constexpr int kDescriptionLabel = 1002;
inline constexpr int kProduct = 1058;
inline constexpr int kProductVersion = 1049;
inline constexpr int kProblemType = 1030;
inline constexpr int kDescription = 1029;
inline constexpr int kNameLabel = 1001;
inline constexpr int kCompanyLabel = 1039;
inline constexpr int kEmailLabel = 1040;
inline constexpr int kPhoneLabel = 1041;
inline constexpr int kStreetLabel = 1042;
inline constexpr int kPostcodeCityLabel = 1043;
inline constexpr int kCountryLabel = 1045;
inline constexpr int kSalutation = 1059;
inline constexpr int kFirstName = 1046;
inline constexpr int kSurname = 1047;
inline constexpr int kCompany = 1050;
inline constexpr int kStreet = 1053;
inline constexpr int kPostcode = 1054;
inline constexpr int kCity = 1055;
inline constexpr int kCountry = 1056;
inline constexpr int kEmail = 1051;
inline constexpr int kPhone = 1052;
inline constexpr int kGraphics = 1016;
inline constexpr int kDriver = 1017;
inline constexpr int kOS = 1018;
inline constexpr int kPrinter = 1032;
inline constexpr int kPDA = 1020;
inline constexpr int kCPU = 1021;
inline constexpr int kRAM = 1022;
inline constexpr int kKettlerDevice = 1034;
inline constexpr int kKettlerDeviceId = 1035;
}  // namespace send_dialog
