#include "tests/support/service_test_util.h"

#include <arpa/inet.h>
#include <httplib.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

namespace torvane::test {
namespace fs = std::filesystem;
namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

HttpAnswer FromResult(const httplib::Result& result) {
    HttpAnswer answer;
    if (!result) {
        return answer;
    }
    answer.status = result->status;
    for (const auto& [name, value] : result->headers) {
        answer.headers.emplace(Lower(name), value);
    }
    answer.body = result->body;
    return answer;
}

std::string FindHeader(const std::multimap<std::string, std::string>& headers,
                       const std::string& name) {
    auto it = headers.find(name);
    return it == headers.end() ? std::string() : it->second;
}

void ReadChildren(xmlNode* node, XmlNode& out) {
    for (xmlNode* child = node->children; child != nullptr; child = child->next) {
        if (child->type == XML_ELEMENT_NODE) {
            XmlNode element;
            element.name = reinterpret_cast<const char*>(child->name);
            ReadChildren(child, element);
            out.children.push_back(std::move(element));
        } else if (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) {
            out.text += reinterpret_cast<const char*>(child->content);
        }
    }
}

void Collect(const XmlNode& node, std::string_view name, std::vector<const XmlNode*>& out) {
    for (const XmlNode& child : node.children) {
        if (child.name == name) {
            out.push_back(&child);
        }
        Collect(child, name, out);
    }
}

}  // namespace

std::string HttpAnswer::Header(const std::string& lowerName) const {
    return FindHeader(headers, lowerName);
}

std::string RawExchange::Header(const std::string& lowerName) const {
    return FindHeader(headers, lowerName);
}

HttpAnswer Get(int port, const std::string& target, const std::string& cookie) {
    httplib::Client client("127.0.0.1", port);
    client.set_keep_alive(false);
    httplib::Headers headers;
    if (!cookie.empty()) {
        headers.emplace("Cookie", cookie);
    }
    return FromResult(client.Get(target.c_str(), headers));
}

HttpAnswer PostForm(int port, const std::string& target, const std::string& body,
                    const std::string& cookie) {
    httplib::Client client("127.0.0.1", port);
    client.set_keep_alive(false);
    httplib::Headers headers;
    if (!cookie.empty()) {
        headers.emplace("Cookie", cookie);
    }
    return FromResult(
        client.Post(target.c_str(), headers, body, "application/x-www-form-urlencoded"));
}

RawExchange RawGet(int port, const std::string& target, int timeoutMs) {
    RawExchange exchange;
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        if (fd >= 0) {
            ::close(fd);
        }
        return exchange;
    }
    const std::string request =
        "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";
    if (::send(fd, request.data(), request.size(), MSG_NOSIGNAL) < 0) {
        ::close(fd);
        return exchange;
    }
    char buffer[16384];
    while (true) {
        pollfd waiting{fd, POLLIN, 0};
        if (::poll(&waiting, 1, timeoutMs) <= 0) {
            break;
        }
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) {
            exchange.closedByServer = true;
            break;
        }
        exchange.raw.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);

    const std::size_t end = exchange.raw.find("\r\n\r\n");
    if (end == std::string::npos) {
        return exchange;
    }
    std::istringstream head(exchange.raw.substr(0, end));
    std::string line;
    std::getline(head, line);
    if (line.size() > 12) {
        exchange.status = std::atoi(line.c_str() + 9);
    }
    while (std::getline(head, line)) {
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos) {
            continue;
        }
        std::string value = line.substr(colon + 1);
        value.erase(0, value.find_first_not_of(' '));
        if (!value.empty() && value.back() == '\r') {
            value.pop_back();
        }
        exchange.headers.emplace(Lower(line.substr(0, colon)), value);
    }
    exchange.body = exchange.raw.substr(end + 4);
    return exchange;
}

std::string SignInForm::Value(std::string_view name) const {
    for (const auto& [n, v] : fields) {
        if (n == name) {
            return v;
        }
    }
    return {};
}

bool ReadSignInForm(std::string_view page, SignInForm& form) {
    form = {};
    auto quoted = [&](std::size_t from, std::string& out, std::size_t& after) {
        const std::size_t open = page.find('"', from);
        const std::size_t close = open == std::string_view::npos ? open : page.find('"', open + 1);
        if (close == std::string_view::npos) {
            return false;
        }
        out = std::string(page.substr(open + 1, close - open - 1));
        after = close + 1;
        return true;
    };
    std::size_t pos = page.find("input");
    while (pos != std::string_view::npos) {
        const std::size_t name = page.find("name", pos);
        if (name == std::string_view::npos) {
            return false;
        }
        std::string fieldName;
        std::string fieldValue;
        std::size_t after = 0;
        if (!quoted(name, fieldName, after)) {
            return false;
        }
        const std::size_t value = page.find("value", after);
        if (value == std::string_view::npos || !quoted(value, fieldValue, after)) {
            return false;
        }
        form.fields.emplace_back(fieldName, fieldValue);
        pos = page.find("input", after);
    }
    const std::size_t action = page.find("document.pcForm.action");
    std::size_t after = 0;
    return action != std::string_view::npos && quoted(action, form.action, after);
}

std::string PercentEncode(std::string_view bytes) {
    static constexpr std::string_view kKept = "@./\\-_:";
    std::string out;
    for (unsigned char c : bytes) {
        if (std::isalnum(c) || kKept.find(static_cast<char>(c)) != std::string_view::npos) {
            out += static_cast<char>(c);
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02x", c);
            out += hex;
        }
    }
    return out;
}

std::string FormBody(const SignInForm& form) {
    std::string body;
    for (const auto& [name, value] : form.fields) {
        if (!body.empty()) {
            body += '&';
        }
        body += name + "=" + PercentEncode(value);
    }
    return body;
}

std::string SignIn(int port, const std::string& user, const std::string& password) {
    const HttpAnswer page = Get(port, "/torvane/pc_login.asp?userID=" + PercentEncode(user) +
                                          "&userPW=" + PercentEncode(password) + "&cookie=cookie");
    SignInForm form;
    if (page.status != 200 || !ReadSignInForm(page.body, form)) {
        return {};
    }
    const std::string setCookie = page.Header("set-cookie");
    const std::string cookie = setCookie.substr(0, setCookie.find(';'));
    const HttpAnswer info = PostForm(port, "/torvane/" + form.action, FormBody(form), cookie);
    return info.status == 200 ? cookie : std::string();
}

const XmlNode* XmlNode::Child(std::string_view childName) const {
    for (const XmlNode& child : children) {
        if (child.name == childName) {
            return &child;
        }
    }
    return nullptr;
}

std::string XmlNode::ChildText(std::string_view childName) const {
    const XmlNode* child = Child(childName);
    return child != nullptr ? child->text : std::string();
}

std::vector<const XmlNode*> XmlNode::FindAll(std::string_view descendantName) const {
    std::vector<const XmlNode*> out;
    Collect(*this, descendantName, out);
    return out;
}

bool ParseXml(const std::string& text, XmlNode& root) {
    xmlDoc* doc = xmlReadMemory(text.data(), static_cast<int>(text.size()), nullptr, nullptr,
                                XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (doc == nullptr) {
        return false;
    }
    xmlNode* element = xmlDocGetRootElement(doc);
    root = {};
    if (element != nullptr) {
        root.name = reinterpret_cast<const char*>(element->name);
        ReadChildren(element, root);
    }
    xmlFreeDoc(doc);
    return element != nullptr;
}

bool ExtractZip(const std::string& archiveBytes, const fs::path& destination,
                std::vector<std::string>* names) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source =
        zip_source_buffer_create(archiveBytes.data(), archiveBytes.size(), 0, &error);
    zip_t* archive = source != nullptr ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr;
    if (archive == nullptr) {
        zip_source_free(source);
        zip_error_fini(&error);
        return false;
    }
    bool ok = true;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; ok && i < count; ++i) {
        const std::string name = zip_get_name(archive, static_cast<zip_uint64_t>(i), 0);
        if (names != nullptr) {
            names->push_back(name);
        }
        const fs::path target = destination / name;
        if (name.ends_with('/')) {
            fs::create_directories(target);
            continue;
        }
        fs::create_directories(target.parent_path());
        zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
        std::ofstream out(target, std::ios::binary);
        char buffer[8192];
        zip_int64_t n = 0;
        while (file != nullptr && (n = zip_fread(file, buffer, sizeof buffer)) > 0) {
            out.write(buffer, n);
        }
        ok = file != nullptr && n == 0 && static_cast<bool>(out);
        if (file != nullptr) {
            zip_fclose(file);
        }
    }
    zip_close(archive);
    zip_error_fini(&error);
    return ok;
}

}  // namespace torvane::test
