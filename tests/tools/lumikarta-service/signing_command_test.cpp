#include "lumikarta-service/signing_command.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "helpers/temp_dir.h"

namespace {

struct Outcome {
    int status;
    std::string out;
};

Outcome RunCommand(std::string_view command, std::initializer_list<std::string> arguments) {
    std::vector<std::string> texts(arguments);
    std::vector<char*> pointers;
    for (std::string& text : texts) {
        pointers.push_back(text.data());
    }
    std::ostringstream out;
    std::ostringstream err;
    const int status = SigningCommand::Run(command, pointers, out, err);
    return {status, out.str()};
}

bool HasOpenSsl() {
    return std::system("openssl version >/dev/null 2>&1") == 0;
}

// A maker's round: a key, its public half, a signed definition that verifies, and one that no longer
// does once a byte of it changes.
TEST(SigningCommand, SignsWhatVerifyAccepts) {
    TempDir temp;
    const std::string key = temp.FilePath("private.pem");
    const std::string document = temp.WriteFile("updates.xml", "<Updates/>\n");
    ASSERT_EQ(RunCommand("generate-key", {key}).status, 0);
    EXPECT_EQ(std::filesystem::status(key).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_EQ(RunCommand("generate-key", {key}).status, 1) << "a key was replaced";

    const Outcome publicKey = RunCommand("public-key", {key});
    ASSERT_EQ(publicKey.status, 0);
    const std::string publicFile = temp.WriteFile("public.pem", publicKey.out);
    const Outcome signature = RunCommand("sign", {key, document});
    ASSERT_EQ(signature.status, 0);
    temp.WriteFile("updates.xml.sig", signature.out);
    EXPECT_EQ(RunCommand("verify", {publicFile, document}).status, 0);

    temp.WriteFile("updates.xml", "<Updates/>\r\n");
    EXPECT_EQ(RunCommand("verify", {publicFile, document}).status, 1);
    EXPECT_EQ(RunCommand("sign", {publicFile, document}).status, 1) << "signed with a public key";
    EXPECT_EQ(RunCommand("verify", {publicFile}).status, 2);
}

// The stock command a maker may use instead, both ways.
TEST(SigningCommand, AgreesWithTheOpenSslCommand) {
    if (!HasOpenSsl()) {
        GTEST_SKIP() << "no openssl command here";
    }
    TempDir temp;
    const std::string folder = temp.Path().string();
    const std::string document = temp.WriteFile("updates.xml", "<?xml version=\"1.0\"?>\n<Updates/>\n");
    ASSERT_EQ(RunCommand("generate-key", {folder + "/ours.pem"}).status, 0);
    temp.WriteFile("ours-public.pem", RunCommand("public-key", {folder + "/ours.pem"}).out);
    temp.WriteFile("updates.xml.ours", RunCommand("sign", {folder + "/ours.pem", document}).out);
    const std::string script =
        "cd '" + folder +
        "' && openssl genpkey -algorithm EC -pkeyopt ec_paramgen_curve:P-256 -out theirs.pem"
        " && openssl pkey -in theirs.pem -pubout -out theirs-public.pem"
        " && openssl dgst -sha256 -sign theirs.pem updates.xml | base64 > updates.xml.sig"
        " && base64 -d updates.xml.ours > ours.der"
        " && openssl dgst -sha256 -verify ours-public.pem -signature ours.der updates.xml";
    ASSERT_EQ(std::system((script + " >/dev/null 2>&1").c_str()), 0) << "openssl refused our signature";
    EXPECT_EQ(RunCommand("verify", {folder + "/theirs-public.pem", document}).status, 0);
    EXPECT_EQ(RunCommand("verify", {folder + "/ours-public.pem", document}).status, 1);
}

}  // namespace
