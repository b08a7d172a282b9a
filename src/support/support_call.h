#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "support/support_request.h"
#include "xml/xml_document.h"

// The sendSupportCall operation of the support web service.

inline constexpr char kSupportCallObjectPath[] = "fileadmin/lumikarta/user_files/supportform/support_3.php";
inline constexpr char kSupportCallAction[] = "sendSupportCall";
inline constexpr char kSupportCallTempPrefix[] = "LKSupport";

// The number message 114 shows when the reply carries no result code: not 1, so never success.
inline constexpr int kMissingResultCode = -1;

struct SupportCallOutcome {
    enum class Kind {
        // Result code 1.
        Succeeded,
        // The service answered with another result code (or none).
        Refused,
        // No answer, or one that is not XML.
        NoConnection,
    };
    Kind kind = Kind::NoConnection;
    int resultCode = kMissingResultCode;
    std::string resultString;
};

// The parameters of the operation below its element, every one present also when empty;
// systemReport follows the description directly.
void AddSupportCallParameters(CXMLDocument& document, const CXMLNode& operation,
                              const SupportRequest& request, const std::string& systemReport);

// The result code and string of a reply: the children of its first "return" element, the last of a
// name winning; no code when there is none.
struct SupportReply {
    std::optional<int> resultCode;
    std::string resultString;
};
SupportReply EvaluateSupportReply(const CXMLDocument& reply);

// Builds, posts and evaluates one request.
SupportCallOutcome PostSupportCall(const SupportRequest& request, const std::string& systemReport);

// Message 114's format with the result code for its "%i" and the result string for its "%s", in
// that order; every other character, a stray "%" included, stays, so a faulty translation cannot
// do harm.
std::string FormatRefusal(std::string_view format, int resultCode, std::string_view resultString);
