#include "tests/support/device_fixture.h"

#include "service/http_client.h"
#include "service/session.h"
#include "store/device_setup.h"
#include "tests/support/demo_session.h"

namespace torvane::test {

std::unique_ptr<demo::DemoService> ServiceFixture::service;
ServiceSession ServiceFixture::session;
std::unique_ptr<ContentCatalogue> ServiceFixture::catalogue;

void CardFixture::SetUp() {
    ASSERT_TRUE(CreateEmptyDevice(Card().string(), "1.0", "larkspin"));
    ASSERT_TRUE(database.Load().ok());
}

CDefaultXML CardFixture::Reloaded() const {
    CDefaultXML reloaded(Card().string());
    EXPECT_TRUE(reloaded.Load().ok());
    return reloaded;
}

void ServiceFixture::StartService(demo::FaultPlan faults) {
    service =
        std::make_unique<demo::DemoService>(demo::DemoService::DefaultDataDir(), std::move(faults));
    ASSERT_TRUE(service->Start(0)) << service->Error();
    session = test::DemoSession(*service);
    catalogue = std::make_unique<ContentCatalogue>();
    const Status fetched = catalogue->FetchCatalogue(session);
    ASSERT_TRUE(fetched.ok()) << fetched.message();
}

void ServiceFixture::TearDownTestSuite() {
    catalogue.reset();
    service.reset();
}

void ServiceFixture::SetUp() {
    if (!service) StartService();
    CardFixture::SetUp();
}

ContentRecord ServiceFixture::Content(const std::string& contentNo) const {
    for (Shelf shelf : kAllShelves) {
        for (const ContentRecord& record : catalogue->Contents(shelf)) {
            if (record.contentNo == contentNo) return record;
        }
    }
    ADD_FAILURE() << "no content " << contentNo << " in the catalogue";
    return {};
}

namespace {
class StringOutput final : public IByteOutput {
  public:
    bool Write(const char* data, std::size_t size) override {
        bytes.append(data, size);
        return true;
    }
    std::string bytes;
};
}  // namespace

std::string ServiceFixture::Served(const std::string& url) {
    StringOutput out;
    EXPECT_TRUE(DownloadToFile(session, url, out, nullptr, nullptr, false).ok()) << url;
    return out.bytes;
}

}  // namespace torvane::test
