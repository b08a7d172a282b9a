#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "faqdata/faq_category.h"
#include "faqdata/faq_entry.h"

class CXMLDocument;
class CXMLNode;

// The application-wide store of the local FAQ data: the main window's collecting thread fills it once
// from the cache file, the support form takes its subjects from it once that thread has ended, and it
// goes when the main window has closed. Used by one thread at a time.
class CFAQStore {
public:
    // The store, created empty on the first call.
    static CFAQStore* Instance();
    // Empties and deletes the store; a later Instance starts a new, empty one.
    static void DestroyInstance();

    // Deletes every record, empties the subject lists and forgets the cache file's path.
    void Clear();

    // Fills the store from data.xml in the cache folder shared by all users, first creating that
    // folder and opening it to everyone. False when the file is missing or not well-formed; a file
    // without some or all of the expected sections still counts as loaded. Meant for the empty
    // store: like the parsers, it appends.
    bool LoadCache();

    // Append the texts of the "option" children of `node` to the subjects of `code` ("de" or "en";
    // any other code drops them).
    bool ParseSubjects(const CXMLDocument& doc, const CXMLNode& node, std::string_view code);
    // Appends one category per "FAQCategory" child of `node`.
    bool ParseCategories(const CXMLDocument& doc, const CXMLNode& node);
    // Appends one entry per "FAQ" child of `node`.
    bool ParseEntries(const CXMLDocument& doc, const CXMLNode& node);

    // Subjects of the German list for the code "de" exactly, of the English one for any other code.
    int GetSubjectCount(std::string_view code) const;
    // The subject at `index`; empty when the index lies outside the list.
    std::string GetSubject(std::string_view code, int index) const;

    const std::vector<std::unique_ptr<FAQEntry>>& Entries() const { return entries; }
    const std::vector<std::unique_ptr<FAQCategory>>& Categories() const { return categories; }
    // The full path of data.xml; empty until LoadCache has found the shared folder.
    const std::string& CacheFilePath() const { return cacheFilePath; }

private:
    CFAQStore() = default;
    ~CFAQStore() = default;
    CFAQStore(const CFAQStore&) = delete;
    CFAQStore& operator=(const CFAQStore&) = delete;

    const std::vector<std::string>& SubjectsFor(std::string_view code) const;

    static CFAQStore* s_pInstance;

    std::vector<std::unique_ptr<FAQEntry>> entries;
    std::vector<std::unique_ptr<FAQCategory>> categories;
    std::vector<std::string> subjectsDE;
    std::vector<std::string> subjectsEN;
    std::string cacheFilePath;
};
