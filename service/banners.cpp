#include "service/banners.h"

#include "service/endpoints.h"
#include "service/xml_answer.h"

namespace torvane {
namespace {

class BannerReader final : public IXmlAnswerReader {
  public:
    explicit BannerReader(BannerList& list) : list_(list) {}

    void OnStart(std::string_view name) override {
        text_.Start(name);
        if (name == "bannerInfo") current_ = BannerInfo{};
    }
    void OnEnd(std::string_view name) override {
        text_.End();
        if (name == "bannerInfo") list_.entries.push_back(current_);
    }
    void OnText(std::string_view run) override {
        if (!text_.Append(run)) return;
        if (text_.Element() == "bannerFileURL")
            current_.fileUrl = text_.Text();
        else if (text_.Element() == "bannerLinkURL")
            current_.linkUrl = text_.Text();
    }

  private:
    BannerList& list_;
    BannerInfo current_;
    ElementText text_;
};

}  // namespace

bool ReadBannerList(std::string_view answer, BannerList& list) {
    BannerReader reader(list);
    list.errorText = ParseXmlAnswer(answer, reader);
    return list.errorText.empty();
}

bool FetchBanners(BannerList& list, ServiceSession& session, const HttpLimits& limits) {
    list.entries.clear();
    list.errorText.clear();
    std::optional<std::string> answer;
    if (!RequestText(BannerListUrl(session.baseUrl), std::nullopt, session.cookie, list.errorText,
                     answer, limits))
        return false;
    return ReadBannerList(answer.value_or(""), list);
}

std::string BannerFileName(std::string_view fileUrl) {
    const std::size_t slash = fileUrl.rfind('/');
    if (slash == std::string_view::npos) return {};
    return std::string(fileUrl.substr(slash + 1));
}

}  // namespace torvane
