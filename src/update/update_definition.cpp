#include "update/update_definition.h"

#include <optional>

#include "registry/reg_value_enum.h"
#include "registry/registry_walker.h"
#include "text/leading_integer.h"
#include "xml/xml_document.h"

namespace {

// The version under HKEY_LOCAL_MACHINE\SOFTWARE\<regKey>; 0 when the key has no value named exactly
// "VERSION" (the registry ignores case, the definition's convention does not). None when the
// product is not installed. Without a key it is SOFTWARE itself, which every machine has: that is
// how a maker lists an update for all of them.
std::optional<int> InstalledVersion(platform::Registry& registry, const std::string& regKey) {
    CRegistryWalker walker(registry);
    if (!walker.Open(platform::RegRoot::LocalMachine, "SOFTWARE\\" + regKey)) {
        return std::nullopt;
    }
    CRegValueEnum values(walker);
    for (values.Start(); !values.Done(); values.Next()) {
        if (values.Name() == "VERSION") {
            return LeadingInteger(values.DataText());
        }
    }
    return 0;
}

UpdateInfo ReadUpdate(const CXMLDocument& document, const CXMLNode& update) {
    UpdateInfo info;
    std::string name;
    for (const CXMLNode& field : document.SelectNodes(update, "*")) {
        document.GetNodeName(field, name);
        std::string* target = name == "Name"          ? &info.Name
                              : name == "Description" ? &info.Description
                              : name == "Version"     ? &info.Version
                              : name == "File"        ? &info.File
                              : name == "Size"        ? &info.Size
                              : name == "Link"        ? &info.Link
                                                      : nullptr;
        if (target != nullptr) {
            *target = document.GetNodeTextCopy(field).value_or(std::string());
        } else if (name == "SHA256") {
            info.SHA256 = document.GetNodeTextCopy(field).value_or(std::string());
        }
    }
    return info;
}

}  // namespace

UpdateDefinitionOutcome LoadUpdateDefinition(const std::string& definitionUrl,
                                             std::span<const std::string> trustedKeysPem,
                                             platform::Registry& registry) {
    UpdateDefinitionOutcome outcome;
    CXMLDocument document;
    if (!document.LoadSigned(definitionUrl, trustedKeysPem)) {
        outcome.status = document.LoadResult() == CXMLDocument::kLoadNotSigned
                             ? UpdateDefinitionOutcome::Status::NotSigned
                             : UpdateDefinitionOutcome::Status::NotLoaded;
        return outcome;
    }
    for (const CXMLNode& product : document.SelectNodes(document.Root(), "//Product")) {
        std::string regKey;
        document.GetNodeText(document.SelectFirstNode(product, "RegKey"), regKey);
        const std::optional<int> installed = InstalledVersion(registry, regKey);
        if (!installed) {
            continue;
        }
        for (const CXMLNode& update : document.SelectNodes(product, "Update")) {
            UpdateInfo info = ReadUpdate(document, update);
            if (LeadingInteger(info.Version) > *installed) {
                outcome.updates.push_back(std::move(info));
            }
        }
    }
    outcome.status = outcome.updates.empty() ? UpdateDefinitionOutcome::Status::NoUpdates
                                             : UpdateDefinitionOutcome::Status::Loaded;
    return outcome;
}
