#include "service/banners.h"

#include "service/endpoints.h"

namespace torvane {
namespace {

class BannerReader final : public ListReader<BannerInfo> {
  public:
    // The sign-in window turns through a few banners; a thousand is far more than it could show.
    static constexpr std::size_t kMaxBanners = 1000;

    explicit BannerReader(std::vector<BannerInfo>& items)
        : ListReader(items, kMaxBanners, "banners") {}

    void OnStart(std::string_view name, const SaxAttributes&) override {
        text_.Start(name);
        if (name == "bannerInfo") current_ = BannerInfo{};
    }
    void OnEnd(std::string_view name) override {
        text_.End();
        if (name == "bannerInfo") Add(current_);
    }
    void OnText(std::string_view run) override {
        if (!text_.Append(run)) return;
        if (text_.Element() == "bannerFileURL")
            current_.fileUrl = text_.Text();
        else if (text_.Element() == "bannerLinkURL")
            current_.linkUrl = text_.Text();
    }

  private:
    BannerInfo current_;
    ElementText text_;
};

}  // namespace

BannerList ReadBannerList(std::string_view answer) {
    return ReadList<BannerReader>(answer);
}

BannerList FetchBanners(ServiceSession& session, const HttpLimits& limits) {
    return FetchList<BannerReader>(BannerListUrl(session.baseUrl), session.cookie, limits);
}

std::string BannerFileName(std::string_view fileUrl) {
    const std::size_t slash = fileUrl.rfind('/');
    if (slash == std::string_view::npos) return {};
    return std::string(fileUrl.substr(slash + 1));
}

}  // namespace torvane
