// Every reader of the service's answers: the content catalogue, the children, the system
// packages, the banners, the sign-in page and the user information. The first byte picks one.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "children/children_service.h"
#include "delivery/catalogue.h"
#include "service/banners.h"
#include "service/login.h"
#include "update/update_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view answer(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 6) {
        case 0: {
            torvane::ContentCatalogue catalogue;
            (void)catalogue.ReadCatalogue(answer);
            break;
        }
        case 1:
            (void)torvane::ReadChildrenList(answer);
            break;
        case 2: {
            torvane::UpdateFileList list;
            (void)list.ReadUpdateFiles(answer);
            break;
        }
        case 3:
            (void)torvane::ReadBannerList(answer);
            break;
        case 4: {
            torvane::LoginForm form;
            (void)torvane::ReadLoginForm(answer, form);
            break;
        }
        default: {
            torvane::LoginForm form;
            (void)torvane::ReadUserInfo(answer, form);
            break;
        }
    }
    return 0;
}
