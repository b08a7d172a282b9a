// The English language library: the same resource ids as the German ones built into the program.
#include "res/language_resource_table.h"
#include "res/resource_ids.h"
#include "res/resource_table.h"
#include "res/string_ids.h"

namespace {

constexpr LumikartaStringResource kStrings[] = {
    {IDS_ABOUTBOX, "&About..."},
    {IDS_RESTART_QUESTION,
     "The program has to be restarted for the new language to take effect. Do you want to restart it "
     "now?"},
    {IDS_MEMORY_LINE, "Physical memory: %.2lf MB, page file: %.2lf MB"},
    {IDS_MISSING_PRODUCT, "Please enter a product!"},
    {IDS_MISSING_VERSION, "Please enter a product version!"},
    {IDS_MISSING_PROBLEM_TYPE, "Please choose a problem type!"},
    {IDS_MISSING_DESCRIPTION, "Please enter a description!"},
    {IDS_MISSING_FIRST_NAME, "Please enter your first name!"},
    {IDS_MISSING_SURNAME, "Please enter your surname!"},
    {IDS_INVALID_EMAIL, "Please enter a valid e-mail address!"},
    {IDS_SEND_SUCCEEDED, "Your request has been sent."},
    {IDS_SEND_REFUSED, "Error %i: %s"},
    {IDS_NO_CONNECTION,
     "Error: No connection to the Lumikarta Support Service could be made.\nPlease check your "
     "Internet connection."},
    {IDS_DEFINITION_NOT_LOADED,
     "The update definition could not be loaded.\r\nPlease check your Internet connection!"},
    {IDS_NO_UPDATES, "There are no updates available at the moment."},
    {IDS_LANGUAGE_NOT_STORED,
     "The language setting could not be stored. The program keeps its current language."},
    {IDS_INSTALLER_NOT_STARTED,
     "The installer could not be started. You can start it yourself; it was saved as:"},
    {IDS_INSTALL_CANCELLED, "The installation was cancelled. The installer stays saved as:"},
    {IDS_SERVER_STATUS, "The server answered with status %d."},
    {IDS_EMPTY_DOWNLOAD, "The server sent an empty file."},
    {IDS_INVALID_CHECKSUM,
     "The update definition gives no valid SHA-256 checksum for this file (64 hexadecimal digits)."},
    {IDS_CHECKSUM_NOT_COMPUTED, "The SHA-256 checksum of the download could not be computed."},
    {IDS_CHECKSUM_MISMATCH,
     "The downloaded file does not match the SHA-256 checksum of the update definition."},
    {IDS_DOWNLOAD_FAILED, "The download failed."},
    {IDS_DOWNLOAD_NOT_STARTED, "The download could not be started:"},
    {IDS_DEFINITION_NOT_SIGNED, "The update definition is not signed by the maker and was not used."},
    {IDS_UPDATE_WITHOUT_CHECKSUM,
     "The update definition gives no SHA-256 checksum for this file. Without one there is no telling "
     "whether the file comes from the maker, so it is neither downloaded nor started."},
    {IDS_FILE_NOT_SAVED, "The file could not be saved:"},
};

}  // namespace

const LumikartaResourceTable* LumikartaSystemInfoResources() {
    static const LumikartaResourceTable table = MakeLanguageResourceTable(kStrings, EnglishDialogTemplates());
    return &table;
}
