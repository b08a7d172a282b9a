#include "res/german_resources.h"

#include "res/language_resource_table.h"
#include "res/resource_ids.h"
#include "res/string_ids.h"

namespace {

constexpr LumikartaStringResource kStrings[] = {
    {IDS_ABOUTBOX, "&Info..."},
    {IDS_RESTART_QUESTION,
     "Die Sprachänderung erfordert einen Neustart der Software. Wollen Sie jetzt die Software neu "
     "Starten?"},
    {IDS_MEMORY_LINE, "Phys. Speicher: %.2lf MB, Auslagerungsdatei: %.2lf MB"},
    {IDS_MISSING_PRODUCT, "Bitte geben Sie ein Produkt an!"},
    {IDS_MISSING_VERSION, "Bitte geben Sie eine Produktversion an!"},
    {IDS_MISSING_PROBLEM_TYPE, "Bitte geben Sie eine Problemart an!"},
    {IDS_MISSING_DESCRIPTION, "Bitte geben Sie eine Beschreibung ein!"},
    {IDS_MISSING_FIRST_NAME, "Bitte geben Sie ihren Vornamen ein!"},
    {IDS_MISSING_SURNAME, "Bitte geben Sie ihren Nachnamen ein!"},
    {IDS_INVALID_EMAIL, "Bitte geben Sie eine korrekte E-Mail Adresse ein!"},
    {IDS_SEND_SUCCEEDED, "Die Anfrage wurde erfolgreich versendet."},
    {IDS_SEND_REFUSED, "Fehler %i: %s"},
    {IDS_NO_CONNECTION,
     "Fehler: Es konnte keine Verbindung zum Lumikarta Support Service hergestellt werden.\nBitte "
     "überprüfen Sie ihre Internetverbindung."},
    {IDS_DEFINITION_NOT_LOADED,
     "Die Update Definition konnte nicht geladen werden.\r\nÜberprüfen Sie ihre Internetverbindung!"},
    {IDS_NO_UPDATES, "Derzeit sind keine Updates verfügbar."},
    {IDS_LANGUAGE_NOT_STORED,
     "Die Spracheinstellung konnte nicht gespeichert werden. Die Software bleibt bei der bisherigen "
     "Sprache."},
    {IDS_INSTALLER_NOT_STARTED,
     "Das Installationsprogramm konnte nicht gestartet werden. Sie können es selbst starten; es wurde "
     "gespeichert unter:"},
    {IDS_INSTALL_CANCELLED,
     "Die Installation wurde abgebrochen. Das Installationsprogramm bleibt gespeichert unter:"},
    {IDS_SERVER_STATUS, "Der Server antwortete mit dem Status %d."},
    {IDS_EMPTY_DOWNLOAD, "Der Server hat eine leere Datei gesendet."},
    {IDS_INVALID_CHECKSUM,
     "Die Update Definition gibt für diese Datei keine gültige SHA-256-Prüfsumme an (64 hexadezimale "
     "Ziffern)."},
    {IDS_CHECKSUM_NOT_COMPUTED, "Die SHA-256-Prüfsumme des Downloads konnte nicht berechnet werden."},
    {IDS_CHECKSUM_MISMATCH,
     "Die heruntergeladene Datei stimmt nicht mit der SHA-256-Prüfsumme der Update Definition überein."},
    {IDS_DOWNLOAD_FAILED, "Der Download ist fehlgeschlagen."},
    {IDS_DOWNLOAD_NOT_STARTED, "Der Download konnte nicht gestartet werden:"},
    {IDS_DEFINITION_NOT_SIGNED,
     "Die Update Definition ist nicht vom Hersteller signiert und wurde nicht verwendet."},
    {IDS_UPDATE_WITHOUT_CHECKSUM,
     "Die Update Definition gibt für diese Datei keine SHA-256-Prüfsumme an. Ohne sie lässt sich nicht "
     "prüfen, ob die Datei vom Hersteller stammt, daher wird sie weder heruntergeladen noch gestartet."},
    {IDS_FILE_NOT_SAVED, "Die Datei konnte nicht gespeichert werden:"},
};

}  // namespace

const LumikartaResourceTable& GermanResources() {
    static const LumikartaResourceTable table = MakeLanguageResourceTable(kStrings, GermanDialogTemplates());
    return table;
}
