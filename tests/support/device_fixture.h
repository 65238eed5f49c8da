// A demo card in a temporary folder, chosen as the device, with its database loaded; and the
// local content service signed in as the demo account, with its catalogue.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "delivery/catalogue.h"
#include "delivery/download_job.h"
#include "store/card.h"
#include "store/default_xml.h"
#include "tests/support/files.h"
#include "tests/support/recording_sink.h"
#include "tests/support/temp_folder.h"
#include "tools/demo_service/demo_service.h"

namespace torvane::test {

class FixedFreeSpace final : public IFreeSpace {
  public:
    explicit FixedFreeSpace(std::uint64_t bytes) : bytes_(bytes) {}
    std::optional<std::uint64_t> FreeBytes(const std::string&) const override { return bytes_; }

  private:
    std::uint64_t bytes_;
};

class NullSink final : public IJobObserver {
  public:
    void OnProgress(const JobProgress&) override {}
};

inline constexpr std::uint64_t kPlentyOfSpace = std::uint64_t{1} << 40;

// A fresh card below a temporary folder, with its database loaded.
class CardFixture : public ::testing::Test {
  protected:
    void SetUp() override;
    std::filesystem::path Card() const { return dir.path() / "card"; }
    // The database as the card now holds it.
    CDefaultXML Reloaded() const;

    TempFolder dir;
    // The card as detection hands it out; `database` is its content database.
    std::shared_ptr<torvane::Card> card =
        std::make_shared<torvane::Card>((dir.path() / "card").string());
    CDefaultXML& database = card->database();
    RecordingSink sink;
};

// The local content service signed in as the demo account, with its catalogue.
class ServiceFixture : public CardFixture {
  protected:
    static void StartService(demo::FaultPlan faults = {});
    static void TearDownTestSuite();
    void SetUp() override;
    // The catalogue record of a content number (fails the test when there is none).
    ContentRecord Content(const std::string& contentNo) const;
    // The bytes the service serves at a file address, as sent.
    static std::string Served(const std::string& url);

    static std::unique_ptr<demo::DemoService> service;
    static ServiceSession session;  // the demo account, signed in
    static std::unique_ptr<ContentCatalogue> catalogue;
};

}  // namespace torvane::test
