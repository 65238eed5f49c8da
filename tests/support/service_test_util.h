// Helpers for talking to the local content service in tests: plain requests, raw exchanges that
// show how a body was framed, the sign-in pages, XML answers as trees, and ZIP extraction. Folders,
// files and running programs come from tests/support.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/files.h"
#include "tests/support/program_run.h"
#include "tests/support/temp_folder.h"

namespace torvane::test {

struct HttpAnswer {
    int status = 0;                                   // 0 when no answer came
    std::multimap<std::string, std::string> headers;  // names lower-cased
    std::string body;
    std::string Header(const std::string& lowerName) const;
};

// A GET (or a POST with a form body) with an optional Cookie header.
HttpAnswer Get(int port, const std::string& target, const std::string& cookie = {});
HttpAnswer PostForm(int port, const std::string& target, const std::string& body,
                    const std::string& cookie);

// Sends "GET target HTTP/1.1" over a fresh connection and reads until the server closes it (or
// `timeoutMs` passes without a byte). `raw` holds everything received; status, headers and the
// body bytes after the header block are split out, chunked bodies left as they came.
struct RawExchange {
    std::string raw;
    int status = 0;
    std::multimap<std::string, std::string> headers;  // names lower-cased
    std::string body;
    bool closedByServer = false;
    std::string Header(const std::string& lowerName) const;
};
RawExchange RawGet(int port, const std::string& target, int timeoutMs = 5000);

// Reads the sign-in page the way the program does: hidden fields in order and the form action.
struct SignInForm {
    std::vector<std::pair<std::string, std::string>> fields;
    std::string action;
    std::string Value(std::string_view name) const;
};
bool ReadSignInForm(std::string_view page, SignInForm& form);

// "name=value&..." with each value's bytes percent-encoded as the program does.
std::string FormBody(const SignInForm& form);
std::string PercentEncode(std::string_view bytes);

// Signs `user` in through both sign-in pages; the session cookie ("name=value"), empty on failure.
std::string SignIn(int port, const std::string& user, const std::string& password);

// An XML answer as a tree of elements with their text.
struct XmlNode {
    std::string name;
    std::string text;  // the element's own character data, entities resolved
    std::vector<XmlNode> children;
    const XmlNode* Child(std::string_view childName) const;
    std::string ChildText(std::string_view childName) const;
    // Every descendant named `name`, in document order.
    std::vector<const XmlNode*> FindAll(std::string_view descendantName) const;
};
// False when the text is not well-formed.
bool ParseXml(const std::string& text, XmlNode& root);

// Unpacks a ZIP archive below `destination`; entry names in order into `names`.
bool ExtractZip(const std::string& archiveBytes, const std::filesystem::path& destination,
                std::vector<std::string>* names = nullptr);

}  // namespace torvane::test
