#include "core/update_listing.h"

#include "core/headless_output.h"
#include "res/resources.h"
#include "res/string_ids.h"
#include "update/update_definition.h"

namespace {

// A message of the string table with the line ends of a terminal.
std::string TerminalMessage(uint32_t stringId) {
    std::string text = LoadResString(stringId);
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
        text.erase(at, 1);
    }
    return text + "\n";
}

}  // namespace

UpdateListing ListAvailableUpdates(const std::string& definitionUrl,
                                   std::span<const std::string> trustedKeysPem) {
    const UpdateDefinitionOutcome outcome = LoadUpdateDefinition(definitionUrl, trustedKeysPem);
    switch (outcome.status) {
        case UpdateDefinitionOutcome::Status::NotLoaded:
            return {UpdateListing::kExitDefinitionNotLoaded, "", TerminalMessage(IDS_DEFINITION_NOT_LOADED)};
        case UpdateDefinitionOutcome::Status::NotSigned:
            return {UpdateListing::kExitDefinitionNotLoaded, "", TerminalMessage(IDS_DEFINITION_NOT_SIGNED)};
        case UpdateDefinitionOutcome::Status::NoUpdates:
            return {0, "", TerminalMessage(IDS_NO_UPDATES)};
        case UpdateDefinitionOutcome::Status::Loaded:
            break;
    }
    return {0, UpdateListText(outcome.updates), ""};
}
