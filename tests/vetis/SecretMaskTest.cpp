// SPDX-License-Identifier: LicenseRef-Kestrom
// The masking of credentials in texts a person reads: API keys in envelopes,
// Authorization headers in the trace. Hostile and odd shapes included.
#include "vetis/SecretMask.h"

#include <gtest/gtest.h>

using vetis::maskSecrets;

TEST(SecretMask, ApiKeyElementsOfEveryShapeAreMasked)
{
    const std::pair<std::string, std::string> cases[] = {
        {"<apldef:apiKey>K1</apldef:apiKey>", "<apldef:apiKey>***</apldef:apiKey>"},
        {"<ws:apiKey>K1</ws:apiKey>", "<ws:apiKey>***</ws:apiKey>"},
        {"<ns2:apiKey>K1</ns2:apiKey>", "<ns2:apiKey>***</ns2:apiKey>"},
        {"<apiKey>K1</apiKey>", "<apiKey>***</apiKey>"},
        {"<APIKEY>K1</APIKEY>", "<APIKEY>***</APIKEY>"},
        // Namespace declarations and other attributes, one holding ">".
        {"<apiKey xmlns=\"urn:x\">K1</apiKey>", "<apiKey xmlns=\"urn:x\">***</apiKey>"},
        {"<a:apiKey a='x>y' b=\"'\">K1</a:apiKey>", "<a:apiKey a='x>y' b=\"'\">***</a:apiKey>"},
        {"<apiKey\r\n>K1</apiKey >", "<apiKey\r\n>***</apiKey >"},
        // A different prefix on the end tag still ends it.
        {"<a:apiKey>K1</b:apiKey>", "<a:apiKey>***</b:apiKey>"},
        // Whatever the content holds is masked with it, also an end tag
        // inside CDATA or a comment.
        {"<apiKey><![CDATA[K1</apiKey>K2]]></apiKey>", "<apiKey>***</apiKey>"},
        {"<apiKey>K1<!-- </apiKey> -->K2</apiKey>", "<apiKey>***</apiKey>"},
        {"<apiKey><v>K1</v>K2</apiKey>", "<apiKey>***</apiKey>"},
        {"<apiKey>K1&amp;K2</apiKey>", "<apiKey>***</apiKey>"},
        // A text that ends inside the element: masked to the end.
        {"<x><apiKey>K1K2", "<x><apiKey>***"},
        {"<apiKey>K1</apiK", "<apiKey>***"},
        {"<apiKey><![CDATA[K1", "<apiKey>***"},
        // Several keys, text between them kept.
        {"<apiKey>K1</apiKey>mid<b:apiKey>K2</b:apiKey>", "<apiKey>***</apiKey>mid<b:apiKey>***</b:apiKey>"},
    };
    for (const auto& [in, expected] : cases) {
        const std::string masked = maskSecrets(in);
        EXPECT_EQ(masked, expected) << in;
        EXPECT_EQ(masked.find("K1"), std::string::npos) << in;
        EXPECT_EQ(masked.find("K2"), std::string::npos) << in;
    }
}

TEST(SecretMask, EverythingElseStaysByteForByte)
{
    for (const std::string& same : {
             std::string("<apiKey/>"),
             std::string("<apiKey a=\"1\" />"),
             std::string("<apiKey></apiKey>"),
             std::string("<apiKeys>K</apiKeys>"),
             std::string("<myapiKey>K</myapiKey>"),
             std::string("<apiKeyId>K</apiKeyId>"),
             std::string("<note>the apiKey is wrong</note>"),
             std::string("<apiKey"),                  // ends inside the start tag: no value follows
             std::string("<apiKey a=\"never closed"), // likewise
             std::string("<fault>Authorization: failed</fault>"),
             std::string("text Authorization: Basic x"),
             std::string("Authorization:"),
             std::string(""),
             std::string("\xD0\x9A\xD0\xBB\xD1\x8E\xD1\x87 <b>\x00\x01</b>", 18),
         })
        EXPECT_EQ(maskSecrets(same), same) << same;

    // A whole envelope: only the key changes, the bytes around it do not.
    const std::string envelope =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<soapenv:Envelope><soapenv:Body>\r\n"
        "<apldef:submitApplicationRequest>\r\n<apldef:apiKey>MzY0YWJj==</apldef:apiKey>\r\n"
        "<apl:application><apl:issuerId>400cb70f</apl:issuerId></apl:application>\r\n"
        "</apldef:submitApplicationRequest></soapenv:Body></soapenv:Envelope>";
    std::string expected = envelope;
    expected.replace(expected.find("MzY0YWJj=="), 10, "***");
    EXPECT_EQ(maskSecrets(envelope), expected);
}

TEST(SecretMask, AuthorizationValuesAreMaskedAfterTheirScheme)
{
    const std::pair<std::string, std::string> cases[] = {
        {"POST /x HTTP/1.1\r\nHost: h\r\nAuthorization: Basic dXNlcjpwdw==\r\nAccept: */*\r\n\r\n",
         "POST /x HTTP/1.1\r\nHost: h\r\nAuthorization: Basic ***\r\nAccept: */*\r\n\r\n"},
        {"authorization:Bearer tok-1\nX: 1\n", "authorization:Bearer ***\nX: 1\n"},
        {"Authorization: tok-1", "Authorization: ***"},
        {"Authorization: Digest username=\"u\", response=\"tok-1\"\r\n", "Authorization: Digest ***\r\n"},
        {"Proxy-Authorization: Basic tok-1\r\n", "Proxy-Authorization: Basic ***\r\n"},
        // libcurl's HTTP/2 trace writes request headers as bracketed text.
        {"[HTTP/2] [1] [authorization: Basic tok-1]", "[HTTP/2] [1] [authorization: Basic ***]"},
        // A text cut inside the value.
        {"Authorization: Basic tok-", "Authorization: Basic ***"},
    };
    for (const auto& [in, expected] : cases) {
        EXPECT_EQ(maskSecrets(in), expected) << in;
        EXPECT_EQ(maskSecrets(in).find("tok-"), std::string::npos) << in;
    }
}

TEST(SecretMask, AnyLeadingPartOfATextRevealsNoMoreThanTheWhole)
{
    // The trace may keep only the first part of a long body: whatever the
    // cut, no piece of the key survives.
    const std::string key = "SECRET-KEY-4f1c";
    const std::string text = "Authorization: Basic " + key + "\r\n<a><apl:apiKey a=\"1\"><![CDATA[" + key +
                             "]]>" + key + "</apl:apiKey><b>" + key.substr(0, 3) + "</b></a>";
    for (std::size_t cut = 0; cut <= text.size(); ++cut) {
        const std::string masked = maskSecrets(text.substr(0, cut));
        for (std::size_t piece = 4; piece <= key.size(); ++piece)
            for (std::size_t at = 0; at + piece <= key.size(); ++at)
                ASSERT_EQ(masked.find(key.substr(at, piece)), std::string::npos)
                    << "cut " << cut << ": " << masked;
    }
}
