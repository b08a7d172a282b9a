#include "support/sample_support_request.h"

#include <utility>

SupportRequest SampleSupportRequest(std::string description) {
    SupportRequest request;
    request.product = "TopoKarte Deutschland";
    request.productVersion = "3.0.0";
    request.subject = "Drucken";
    request.description = std::move(description);
    request.firstName = "Jürgen";
    request.surname = "Weiß";
    request.email = "j.weiss@example.org";
    return request;
}
