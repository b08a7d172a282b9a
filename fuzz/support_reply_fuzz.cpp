#include <cstddef>
#include <cstdint>
#include <string_view>

#include "support/support_call.h"
#include "text/text_encoding.h"
#include "text/utf8.h"
#include "xml/xml_document.h"

// Feeds arbitrary bytes as the support service's reply through the loader and the reply rules, as
// a broken or hostile server would: nothing may crash, and the result string stays within its bound.
// Seeds: seeds/support_reply.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    CXMLDocument reply;
    if (!reply.LoadFromBuffer(std::string_view(reinterpret_cast<const char*>(data), size))) {
        return 0;
    }
    const SupportReply evaluated = EvaluateSupportReply(reply);
    // Cut by characters, never inside one.
    if (!IsValidUtf8(evaluated.resultString) ||
        CutUtf8Characters(evaluated.resultString, CXMLDocument::kMaxFieldCharacters) !=
            evaluated.resultString) {
        __builtin_trap();
    }
    return 0;
}
