#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "faqdata/faq_store.h"
#include "platform/common_app_data.h"
#include "platform/folder_access.h"
#include "platform/regular_file.h"
#include "text/leading_integer.h"
#include "text/utf8_path.h"
#include "xml/xml_document.h"

namespace {

constexpr char kSeparator = static_cast<char>(std::filesystem::path::preferred_separator);
constexpr std::string_view kMakerFolder = "Lumikarta";
constexpr std::string_view kToolFolder = "Support und Update Tool";
constexpr std::string_view kCacheFileName = "data.xml";
// Far above any real knowledge base, far below what would strain the machine.
constexpr std::size_t kMaxCacheFileBytes = 16 * 1024 * 1024;

bool EndsWithSeparator(const std::string& path) {
    return !path.empty() && (path.back() == '/' || path.back() == kSeparator);
}

// The text of the first child element `name` of `record`; none when there is no such child, so that
// the field keeps the value of a new record. Later children of the same name are not looked at.
std::optional<std::string> FirstChildText(const CXMLDocument& doc, const CXMLNode& record,
                                          std::string_view name) {
    const CXMLNode child = doc.SelectFirstNode(record, name);
    if (!child) {
        return std::nullopt;
    }
    return doc.GetNodeTextCopy(child).value_or(std::string());
}

void ReadText(const CXMLDocument& doc, const CXMLNode& record, std::string_view name, std::string& field) {
    if (std::optional<std::string> text = FirstChildText(doc, record, name)) {
        field = std::move(*text);
    }
}

void ReadNumber(const CXMLDocument& doc, const CXMLNode& record, std::string_view name, int32_t& field) {
    if (const std::optional<std::string> text = FirstChildText(doc, record, name)) {
        field = LeadingInteger(*text);
    }
}

// The numbers every record of the web site's database carries.
template <typename Record>
void ReadRecordNumbers(const CXMLDocument& doc, const CXMLNode& element, Record& record) {
    ReadNumber(doc, element, "uid", record.uid);
    ReadNumber(doc, element, "pid", record.pid);
    ReadNumber(doc, element, "tstamp", record.tstamp);
    ReadNumber(doc, element, "crdate", record.crdate);
}

}  // namespace

bool CFAQStore::LoadCache() {
    std::string folder = platform::CommonAppDataFolder();
    if (folder.empty()) {
        return false;
    }
    if (!EndsWithSeparator(folder)) {
        folder += kSeparator;
    }

    // The folder is made ready at every start, also when there is nothing to read yet, so that
    // whoever delivers data.xml later finds it writable whichever user ran the program first.
    std::error_code ignored;
    std::filesystem::create_directories(PathFromUtf8(folder), ignored);
    static constexpr std::string_view kLevels[] = {kMakerFolder, kToolFolder};
    platform::PrepareSharedFolder(folder, kLevels);
    folder.append(kMakerFolder).append(1, kSeparator).append(kToolFolder).append(1, kSeparator);

    // Known before the file is read, so that it is there to tell where the data was looked for.
    cacheFilePath = folder;
    cacheFilePath.append(kCacheFileName);

    // Anyone may put anything in the shared folder under this name; what is no regular file of sane
    // size counts as no file.
    const std::optional<std::string> bytes = platform::ReadRegularFile(cacheFilePath, kMaxCacheFileBytes);
    CXMLDocument doc;
    if (!bytes || !doc.LoadFromBuffer(*bytes)) {
        return false;
    }
    // A document element of another name holds nothing this store knows; that is no failure.
    const CXMLNode supportTool = doc.SelectFirstNode(doc.Root(), "SupportTool");
    if (!supportTool) {
        return true;
    }
    if (const CXMLNode section = doc.SelectFirstNode(supportTool, "SubjectsDE")) {
        ParseSubjects(doc, section, "de");
    }
    if (const CXMLNode section = doc.SelectFirstNode(supportTool, "SubjectsEN")) {
        ParseSubjects(doc, section, "en");
    }
    if (const CXMLNode section = doc.SelectFirstNode(supportTool, "Categories")) {
        ParseCategories(doc, section);
    }
    if (const CXMLNode section = doc.SelectFirstNode(supportTool, "FAQEntries")) {
        ParseEntries(doc, section);
    }
    return true;
}

bool CFAQStore::ParseSubjects(const CXMLDocument& doc, const CXMLNode& node, std::string_view code) {
    std::vector<std::string>* subjects = code == "de" ? &subjectsDE : code == "en" ? &subjectsEN : nullptr;
    if (!subjects) {
        return true;
    }
    // An empty option stays in its place: the form offers the subjects by position.
    for (const CXMLNode& option : doc.SelectNodes(node, "option")) {
        subjects->push_back(doc.GetNodeTextCopy(option).value_or(std::string()));
    }
    return true;
}

bool CFAQStore::ParseCategories(const CXMLDocument& doc, const CXMLNode& node) {
    for (const CXMLNode& element : doc.SelectNodes(node, "FAQCategory")) {
        auto record = std::make_unique<FAQCategory>();
        ReadRecordNumbers(doc, element, *record);
        ReadText(doc, element, "title", record->title);
        ReadText(doc, element, "shortcut", record->shortcut);
        categories.push_back(std::move(record));
    }
    return true;
}

bool CFAQStore::ParseEntries(const CXMLDocument& doc, const CXMLNode& node) {
    for (const CXMLNode& element : doc.SelectNodes(node, "FAQ")) {
        auto record = std::make_unique<FAQEntry>();
        ReadRecordNumbers(doc, element, *record);
        ReadText(doc, element, "question", record->question);
        // Unlike the other children, every "category" counts: an entry may belong to several.
        for (const CXMLNode& category : doc.SelectNodes(element, "category")) {
            record->category.push_back(LeadingInteger(doc.GetNodeTextCopy(category).value_or(std::string())));
        }
        ReadText(doc, element, "answer", record->answer);
        ReadText(doc, element, "related", record->related);
        ReadText(doc, element, "related_links", record->related_links);
        ReadText(doc, element, "faq_files", record->faq_files);
        entries.push_back(std::move(record));
    }
    return true;
}
