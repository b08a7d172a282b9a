#include <gtest/gtest.h>

#include <string>

#include "common/xml_document.h"
#include "support/local_http_server.h"

// Needs the local HTTP server of the Linux tests; the Windows tests load from the reference service.

namespace {

// Whether an error page could pass for the document is tried where it matters: the update definition.
TEST(XmlDocumentLoad, UrlsAreFetchedOverHttpAlsoWhenMoved) {
    LocalHttpServer server;
    server.Routes().Get("/doc.xml", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("<a>from the server</a>", "text/xml");
    });
    server.Routes().Get(
        "/moved.xml", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/doc.xml"); });
    server.Start();
    std::string upperScheme = server.Url("/doc.xml");
    upperScheme.replace(0, 4, "HTTP");
    for (const std::string& url : {server.Url("/doc.xml"), server.Url("/moved.xml"), upperScheme}) {
        CXMLDocument doc;
        EXPECT_TRUE(doc.Load(url)) << url << ": " << doc.ErrorReason();
        EXPECT_EQ(doc.Path(), url);
        EXPECT_EQ(doc.GetNodeTextCopy(doc.SelectFirstNode(doc.Root(), "*")), "from the server");
    }
}

}  // namespace
