#include <cstdint>
#include <iterator>

#include "res/control_ids.h"
#include "res/dialog_template_styles.h"
#include "res/dialog_templates.h"
#include "res/resource_ids.h"

// The German templates. english_dialogs.cpp holds the same controls at the same places with English
// words; tests/res compares the two layouts.

namespace {

using namespace template_styles;

// ---- About box -------------------------------------------------------------------------------------

constexpr LumikartaDialogControl kAboutControls[] = {
    {IDC_STATIC, kIcon, "", 11, 10, 21, 20, kPlain, IDR_MAINFRAME, nullptr, 0},
    {IDC_STATIC, kLabel, "Lumikarta Support und Update Tool Version 1.1.5", 40, 10, 167, 8, kPlain, 0,
     nullptr, 0},
    {IDC_STATIC, kLabel, "Copyright © Lumikarta. Alle Rechte vorbehalten.", 40, 25, 170, 8, kPlain, 0,
     nullptr, 0},
    {about_box::kOk, kButton, "OK", 226, 7, 50, 16, kDefault, 0, nullptr, 0},
};

// ---- Main window -----------------------------------------------------------------------------------

// The item's index is the language code, so the order must survive the list's sorting. Each language
// keeps its own name, so a user who cannot read the current one still finds theirs.
constexpr const char* kLanguages[] = {"Deutsch", "English"};

constexpr LumikartaDialogControl kMainControls[] = {
    {main_window::kProductsLabel, kLabel, "Produkte", 7, 6, 30, 8, kPlain, 0, nullptr, 0},
    {main_window::kProducts, kListBox, "", 77, 6, 277, 37, kInfoList, 0, nullptr, 0},
    {main_window::kGraphicsLabel, kLabel, "Grafikkarte", 7, 51, 36, 8, kPlain, 0, nullptr, 0},
    {main_window::kGraphics, kEdit, "", 77, 51, 277, 12, kReadOnlyLine, 0, nullptr, 0},
    {main_window::kDriverLabel, kLabel, "Grafik-Treiber", 7, 68, 60, 8, kPlain, 0, nullptr, 0},
    {main_window::kDriver, kEdit, "", 77, 68, 277, 12, kReadOnlyLine, 0, nullptr, 0},
    {main_window::kOSLabel, kLabel, "Betriebssystem", 7, 86, 50, 8, kPlain, 0, nullptr, 0},
    {main_window::kOS, kEdit, "", 77, 85, 277, 12, kReadOnlyLine, 0, nullptr, 0},
    {main_window::kCPULabel, kLabel, "Prozessor", 7, 102, 50, 8, kPlain, 0, nullptr, 0},
    {main_window::kCPU, kEdit, "", 77, 102, 277, 12, kReadOnlyLine, 0, nullptr, 0},
    {main_window::kRAMLabel, kLabel, "Arbeitsspeicher", 7, 120, 50, 8, kPlain, 0, nullptr, 0},
    {main_window::kRAM, kEdit, "", 77, 119, 277, 12, kReadOnlyLine, 0, nullptr, 0},
    {main_window::kPrintersLabel, kLabel, "Drucker", 7, 137, 26, 8, kPlain, 0, nullptr, 0},
    {main_window::kPrinters, kListBox, "", 77, 137, 277, 29, kInfoList, 0, nullptr, 0},
    {main_window::kFAQ, kLabel, "FAQ", 7, 172, 15, 8, kLink, 0, nullptr, 0},
    {main_window::kLanguage, kDropDownList, "", 77, 172, 62, 41, kSortedDropDown, 0, kLanguages,
     std::size(kLanguages)},
    {main_window::kCopyInfo, kButton, "Info kopieren", 191, 172, 50, 14, kPlain, 0, nullptr, 0},
    {main_window::kSupport, kButton, "Support", 252, 172, 50, 14, kDefault, 0, nullptr, 0},
    {main_window::kUpdates, kButton, "Updates", 304, 172, 50, 14, kPlain, 0, nullptr, 0},
};

// ---- Update list -----------------------------------------------------------------------------------

constexpr LumikartaDialogControl kUpdateControls[] = {
    {IDC_STATIC, kGroupBox, "Verfügbare Updates", 7, 7, 256, 83, kPlain, 0, nullptr, 0},
    {update_box::kUpdates, kListBox, "", 13, 18, 244, 66,
     LUMIKARTA_STYLE_NOTIFY | LUMIKARTA_STYLE_VSCROLL | LUMIKARTA_STYLE_SORTED, 0, nullptr, 0},
    {IDC_STATIC, kLabel, "Name", 7, 97, 19, 8, kPlain, 0, nullptr, 0},
    {update_box::kName, kLabel, "", 65, 97, 198, 8, kPlain, 0, nullptr, 0},
    {IDC_STATIC, kLabel, "Beschreibung", 7, 111, 44, 8, kPlain, 0, nullptr, 0},
    {update_box::kDescription, kLabel, "", 66, 111, 198, 24, kLongText, 0, nullptr, 0},
    {IDC_STATIC, kLabel, "Version", 7, 142, 24, 8, kPlain, 0, nullptr, 0},
    {update_box::kVersion, kLabel, "", 66, 142, 198, 8, kPlain, 0, nullptr, 0},
    {IDC_STATIC, kLabel, "Dateiname", 7, 156, 35, 8, kPlain, 0, nullptr, 0},
    {update_box::kFileName, kLabel, "", 66, 156, 198, 8, kPlain, 0, nullptr, 0},
    {IDC_STATIC, kLabel, "Größe", 7, 169, 20, 8, kPlain, 0, nullptr, 0},
    {update_box::kSize, kLabel, "", 66, 169, 198, 8, kPlain, 0, nullptr, 0},
    {IDC_STATIC, kLabel, "Details", 7, 183, 22, 8, kPlain, 0, nullptr, 0},
    {update_box::kDetailsLink, kLabel, "", 66, 183, 198, 8, kLink, 0, nullptr, 0},
    {update_box::kDownload, kButton, "Download und Installieren", 87, 201, 93, 14, kPlain, 0, nullptr, 0},
    {update_box::kClose, kButton, "Schließen", 213, 201, 50, 14, kPlain, 0, nullptr, 0},
};

// ---- Download --------------------------------------------------------------------------------------

constexpr LumikartaDialogControl kDownloadControls[] = {
    {IDC_STATIC, kGroupBox, "Downloadstatus", 7, 7, 348, 77, kPlain, 0, nullptr, 0},
    {download_dialog::kFileLabel, kLabel, "Datei: ", 14, 19, 41, 8, kPlain, 0, nullptr, 0},
    {download_dialog::kFile, kLabel, "", 55, 19, 292, 8, kPlain, 0, nullptr, 0},
    {download_dialog::kSizeLabel, kLabel, "Größe:", 14, 33, 41, 8, kPlain, 0, nullptr, 0},
    {download_dialog::kSize, kLabel, "", 55, 33, 292, 8, kPlain, 0, nullptr, 0},
    {download_dialog::kLoadedLabel, kLabel, "Geladen:", 14, 47, 41, 8, kPlain, 0, nullptr, 0},
    {download_dialog::kLoaded, kLabel, "", 55, 47, 292, 8, kPlain, 0, nullptr, 0},
    {download_dialog::kProgress, kProgressBar, "", 14, 61, 333, 14, kPlain, 0, nullptr, 0},
    {download_dialog::kInstall, kButton, "Installieren", 239, 90, 50, 16, kPlain, 0, nullptr, 0},
    {download_dialog::kCancel, kButton, "Abbrechen", 297, 90, 50, 16, kPlain, 0, nullptr, 0},
};

// ---- Support request -------------------------------------------------------------------------------
// Two column grids run through the whole form: labels at x 14 with fields from x 70 on the left, labels
// at x 264 with fields from x 336 on the right. The two lower groups share their rows (pitch 14 from
// y 123); a label sits 2 units below its field's top so the texts line up.

// Stand-ins only; the window fills these lists before the dialog is shown.
constexpr const char* kProblemTypes[] = {"Start", "Funktion"};
constexpr const char* kPrinterNames[] = {"Start", "Funktion"};
constexpr const char* kSalutations[] = {"Herr", "Frau"};

constexpr LumikartaDialogControl kSendControls[] = {
    {IDC_STATIC, kLabel, "Mit * gekennzeichnete Felder sind Pflichtfelder und müssen ausgefüllt werden!", 7,
     261, 380, 8, kPlain, 0, nullptr, 0},
    {IDC_STATIC, kLabel,
     "Alle Angaben werden ausschließlich für interne Zwecke verwendet und nicht an Dritte weitergegeben.", 7,
     271, 380, 8, kPlain, 0, nullptr, 0},
    {send_dialog::kSend, kButton, "Senden", 394, 265, 50, 14, kDefault, 0, nullptr, 0},
    {send_dialog::kCancel, kButton, "Abbrechen", 451, 265, 50, 14, kPlain, 0, nullptr, 0},

    {IDC_STATIC, kGroupBox, "Problem", 7, 7, 494, 98, kPlain, 0, nullptr, 0},
    {send_dialog::kProductLabel, kLabel, "Produkt*", 14, 20, 52, 8, kPlain, 0, nullptr, 0},
    {send_dialog::kProductVersionLabel, kLabel, "Produktversion*", 264, 20, 68, 8, kPlain, 0, nullptr, 0},
    {send_dialog::kProblemTypeLabel, kLabel, "Problemart*", 14, 35, 52, 8, kPlain, 0, nullptr, 0},
    {send_dialog::kDescriptionLabel, kLabel, "Beschreibung*", 14, 50, 52, 8, kPlain, 0, nullptr, 0},
    {send_dialog::kProduct, kComboBox, "", 70, 18, 173, 80, kEditLine | LUMIKARTA_STYLE_VSCROLL, 0, nullptr,
     0},
    {send_dialog::kProductVersion, kEdit, "", 336, 18, 158, 12, kEditLine, 0, nullptr, 0},
    {send_dialog::kProblemType, kDropDownList, "", 70, 33, 173, 60, LUMIKARTA_STYLE_VSCROLL, 0, kProblemTypes,
     std::size(kProblemTypes)},
    {send_dialog::kDescription, kEdit, "", 70, 48, 424, 50, kTextArea, 0, nullptr, 0},

    {IDC_STATIC, kGroupBox, "Kundendaten", 7, 112, 243, 142, kPlain, 0, nullptr, 0},
    {send_dialog::kNameLabel, kLabel, "Name*", 14, 125, 52, 8, kPlain, 0, nullptr, 0},
    {send_dialog::kCompanyLabel, kLabel, "Firma", 14, 139, 52, 8, kPlain, 0, nullptr, 0},
    {send_dialog::kEmailLabel, kLabel, "EMail*", 14, 223, 52, 8, kPlain, 0, nullptr, 0},
    {send_dialog::kPhoneLabel, kLabel, "Telefon", 14, 237, 52, 8, kPlain, 0, nullptr, 0},
    {send_dialog::kStreetLabel, kLabel, "Straße", 14, 167, 52, 8, kPlain, 0, nullptr, 0},
    {send_dialog::kPostcodeCityLabel, kLabel, "PLZ/Ort", 14, 181, 52, 8, kPlain, 0, nullptr, 0},
    {send_dialog::kCountryLabel, kLabel, "Land", 14, 195, 52, 8, kPlain, 0, nullptr, 0},
    {send_dialog::kSalutation, kDropDownList, "", 70, 123, 40, 40, kPlain, 0, kSalutations,
     std::size(kSalutations)},
    {send_dialog::kFirstName, kEdit, "", 114, 123, 63, 12, kEditLine, 0, nullptr, 0},
    {send_dialog::kSurname, kEdit, "", 181, 123, 62, 12, kEditLine, 0, nullptr, 0},
    {send_dialog::kCompany, kEdit, "", 70, 137, 173, 12, kEditLine, 0, nullptr, 0},
    {send_dialog::kStreet, kEdit, "", 70, 165, 173, 12, kEditLine, 0, nullptr, 0},
    {send_dialog::kPostcode, kEdit, "", 70, 179, 40, 12, kEditLine, 0, nullptr, 0},
    {send_dialog::kCity, kEdit, "", 114, 179, 129, 12, kEditLine, 0, nullptr, 0},
    {send_dialog::kCountry, kEdit, "", 70, 193, 173, 12, kEditLine, 0, nullptr, 0},
    {send_dialog::kEmail, kEdit, "", 70, 221, 173, 12, kEditLine, 0, nullptr, 0},
    {send_dialog::kPhone, kEdit, "", 70, 235, 173, 12, kEditLine, 0, nullptr, 0},

    {IDC_STATIC, kGroupBox, "Hardwareinformationen", 257, 112, 244, 142, kPlain, 0, nullptr, 0},
    {IDC_STATIC, kLabel, "Graphikkarte", 264, 125, 68, 8, kPlain, 0, nullptr, 0},
    {send_dialog::kGraphics, kEdit, "", 336, 123, 158, 12, kReadOnlyLine, 0, nullptr, 0},
    {IDC_STATIC, kLabel, "Treiberversion", 264, 139, 68, 8, kPlain, 0, nullptr, 0},
    {send_dialog::kDriver, kEdit, "", 336, 137, 158, 12, kReadOnlyLine, 0, nullptr, 0},
    {IDC_STATIC, kLabel, "Betriebssystem", 264, 153, 68, 8, kPlain, 0, nullptr, 0},
    {send_dialog::kOS, kEdit, "", 336, 151, 158, 12, kReadOnlyLine, 0, nullptr, 0},
    {IDC_STATIC, kLabel, "Drucker", 264, 167, 68, 8, kPlain, 0, nullptr, 0},
    {send_dialog::kPrinter, kDropDownList, "", 336, 165, 158, 80, kSortedDropDown, 0, kPrinterNames,
     std::size(kPrinterNames)},
    {IDC_STATIC, kLabel, "PDA", 264, 181, 68, 8, kPlain, 0, nullptr, 0},
    {send_dialog::kPDA, kEdit, "", 336, 179, 158, 12, kEditLine, 0, nullptr, 0},
    {IDC_STATIC, kLabel, "CPU", 264, 195, 68, 8, kPlain, 0, nullptr, 0},
    {send_dialog::kCPU, kEdit, "", 336, 193, 158, 12, kReadOnlyLine, 0, nullptr, 0},
    {IDC_STATIC, kLabel, "RAM", 264, 209, 68, 8, kPlain, 0, nullptr, 0},
    {send_dialog::kRAM, kEdit, "", 336, 207, 158, 12, kReadOnlyLine, 0, nullptr, 0},
    {IDC_STATIC, kLabel, "Kettler Gerät", 264, 223, 68, 8, kPlain, 0, nullptr, 0},
    {send_dialog::kKettlerDevice, kEdit, "", 336, 221, 158, 12, kEditLine, 0, nullptr, 0},
    {IDC_STATIC, kLabel, "Kettler Geräte ID", 264, 237, 68, 8, kPlain, 0, nullptr, 0},
    {send_dialog::kKettlerDeviceId, kEdit, "", 336, 235, 158, 12, kEditLine, 0, nullptr, 0},
};

// ---- All templates, in the order of their ids --------------------------------------------------------

constexpr LumikartaDialogTemplate kDialogs[] = {
    {IDD_ABOUTBOX, "Info über LumikartaSystemInfo", "MS Shell Dlg", 8, 283, 54, kDialogBox, kAboutControls,
     std::size(kAboutControls)},
    {IDD_LUMIKARTASYSTEMINFO_DIALOG, "Lumikarta - SystemInfo", "MS Sans Serif", 8, 361, 193,
     kDialogBox | LUMIKARTA_DIALOG_SET_FOREGROUND | LUMIKARTA_DIALOG_APP_WINDOW, kMainControls,
     std::size(kMainControls)},
    // No close box in the caption: the list ends through its Close button.
    {IDD_UPDATEBOX, "Update", "MS Shell Dlg", 8, 270, 222,
     LUMIKARTA_DIALOG_MODAL_FRAME | LUMIKARTA_DIALOG_CENTER, kUpdateControls, std::size(kUpdateControls)},
    {IDD_UPDATEDOWNLOAD, "Download", "MS Shell Dlg", 8, 362, 113, kDialogBox, kDownloadControls,
     std::size(kDownloadControls)},
    {IDD_SENDDIALOG, "Supportanfrage senden", "MS Shell Dlg", 8, 508, 286, kDialogBox, kSendControls,
     std::size(kSendControls)},
};

}  // namespace

DialogTemplateSet GermanDialogTemplates() {
    return {kDialogs, std::size(kDialogs)};
}
