// Tests of torvane-cli against the local content service on an empty card of their own: one
// service for the whole suite (starting it is the slow part), a fresh card for each test.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "store/device_setup.h"
#include "tests/support/temp_folder.h"
#include "tools/demo_service/demo_service.h"

namespace torvane::test {

class DemoCardTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        service = std::make_unique<demo::DemoService>();
        ASSERT_TRUE(service->Start(0)) << service->Error();
    }
    static void TearDownTestSuite() { service.reset(); }

    void SetUp() override { ASSERT_TRUE(CreateEmptyDevice(Card(), "1.0", "larkspin")); }

    std::string Card() const { return folder.path() / "card"; }

    static inline std::unique_ptr<demo::DemoService> service;
    TempFolder folder;
};

}  // namespace torvane::test
