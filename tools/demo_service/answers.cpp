#include "tools/demo_service/answers.h"

#include "common/text_codec.h"
#include "store/device_files.h"

namespace torvane::demo {
namespace {

constexpr std::string_view kXmlDeclaration = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";

void Element(std::string& out, std::string_view name, std::string_view text) {
    out += '<';
    out += name;
    out += '>';
    out += EscapeXmlText(text);
    out += "</";
    out += name;
    out += '>';
}

// The program finds each field's value between the next two double quotes, so a quote inside a
// value must not appear as one.
std::string QuoteSafe(std::string_view value) {
    std::string out;
    for (char c : value) {
        if (c == '"') {
            out += "&quot;";
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

std::string SignInPage(const std::vector<FormField>& fields, std::string_view action) {
    // The program searches the whole page for the word that starts each form field, so that word
    // appears nowhere else on the page, not even in the text.
    std::string page = Utf8ToCp949(
        "<html>\r\n<head>\r\n<meta http-equiv=\"Content-Type\" content=\"text/html; "
        "charset=euc-kr\">\r\n<title>토베인 로그인</title>\r\n</head>\r\n<body>\r\n"
        "<form name=\"pcForm\" method=\"post\">\r\n");
    for (const FormField& field : fields) {
        page += "<input type=\"hidden\" name=\"" + QuoteSafe(field.name) + "\" value=\"" +
                QuoteSafe(field.value) + "\">\r\n";
    }
    page += "</form>\r\n<script type=\"text/javascript\">\r\ndocument.pcForm.action = \"";
    page += action;
    page += "\";\r\n</script>\r\n</body>\r\n</html>\r\n";
    return page;
}

std::string UserInfoXml(const std::vector<std::pair<std::string, std::string>>& info) {
    std::string out(kXmlDeclaration);
    out += "<userInfo>";
    for (const auto& [name, value] : info) {
        Element(out, name, value);
    }
    out += "</userInfo>";
    return out;
}

std::string ContentsListXml(const std::vector<ContentRecord>& contents) {
    std::string out(kXmlDeclaration);
    out += "<contentsList>\n";
    for (const ContentRecord& c : contents) {
        out += "<content>";
        Element(out, "contentNo", c.contentNo);
        Element(out, "name", c.title);
        Element(out, "downloadType", c.downloadType);
        Element(out, "mainGroup", c.mainGroup);
        Element(out, "subGroup", c.subGroup);
        Element(out, "thumbnailImage", c.thumbnailImage);
        Element(out, "downCount", std::to_string(c.downloadCount));
        Element(out, "endCount", std::to_string(c.endCount));
        Element(out, "endDate", c.date);
        Element(out, "defaultYN", c.status);
        out += "<files>";
        for (const FileRecord& f : c.files) {
            out += "<file>";
            Element(out, "name", f.name);
            Element(out, "savedName", f.savedName);
            Element(out, "rfidCardID", f.rfidCardId);
            Element(out, "language", f.language);
            Element(out, "fileURL", f.fileUrl);
            Element(out, "fileSize", std::to_string(f.size));
            Element(out, "folderType", f.folderType);
            out += "</file>";
        }
        out += "</files></content>\n";
    }
    out += "</contentsList>\n";
    return out;
}

std::string ChildrenListXml(const std::vector<ChildAnswer>& children) {
    std::string out(kXmlDeclaration);
    out += "<childrenList>\n";
    for (const ChildAnswer& c : children) {
        out += "<childInfo>";
        Element(out, "childNo", std::to_string(c.childNo));
        Element(out, "familyName", c.familyName);
        Element(out, "firstName", c.firstName);
        Element(out, "gender", c.gender);
        Element(out, "birthday", c.birthday);
        out += "<nameFileList><nameFile>";
        Element(out, "soundType", c.soundType);
        Element(out, "nameFileStatus", c.voiceStatus);
        Element(out, "nameFileURL", c.voiceUrl);
        Element(out, "nameFileSize", std::to_string(c.voiceSize));
        out += "</nameFile></nameFileList></childInfo>\n";
    }
    out += "</childrenList>\n";
    return out;
}

std::string CommandResultXml(int code, std::string_view message, int childNo) {
    std::string out(kXmlDeclaration);
    out += "<result>";
    Element(out, "code", std::to_string(code));
    Element(out, "message", message);
    if (childNo != 0) {
        Element(out, "childNo", std::to_string(childNo));
    }
    out += "</result>\n";
    return out;
}

std::string BannerListXml(const std::vector<BannerAnswer>& banners) {
    std::string out(kXmlDeclaration);
    out += "<bannerList>\n";
    for (const BannerAnswer& b : banners) {
        out += "<bannerInfo>";
        Element(out, "bannerFileURL", b.fileUrl);
        Element(out, "bannerLinkURL", b.linkUrl);
        out += "</bannerInfo>\n";
    }
    out += "</bannerList>\n";
    return out;
}

std::string SystemUpdateFilesXml(const std::vector<UpdateAnswer>& packages) {
    std::string out(kXmlDeclaration);
    out += "<systemUpdateFiles><firmwareFileList>\n";
    for (const UpdateAnswer& p : packages) {
        out += "<firmwareFile><factoryFile>";
        Element(out, "version", p.version);
        Element(out, "name", p.name);
        Element(out, "description", p.description);
        Element(out, "registeredDate", p.registeredDate);
        Element(out, "fileURL", p.fileUrl);
        Element(out, "fileSize", std::to_string(p.fileSize));
        Element(out, "selected", p.selected);
        out += "</factoryFile></firmwareFile>\n";
    }
    out += "</firmwareFileList></systemUpdateFiles>\n";
    return out;
}

std::string HtmlPage(std::string_view title, std::string_view bodyUtf8) {
    std::string page =
        "<!DOCTYPE html>\n<html lang=\"ko\">\n<head>\n<meta charset=\"euc-kr\">\n<title>";
    page += title;
    page +=
        "</title>\n<style>body{font-family:'NanumGothic','Gulim',sans-serif;margin:12px;"
        "background:#F5F5F5}h1,h2{color:#477500}</style>\n</head>\n<body>\n";
    page += bodyUtf8;
    page += "\n</body>\n</html>\n";
    return Utf8ToCp949Xml(page);
}

}  // namespace torvane::demo
