// The local content service's demo account, signed in: the session every test against the
// service starts from. Header only, for the test programs that link the service itself.
#pragma once

#include "service/session.h"
#include "tools/demo_service/demo_service.h"

namespace torvane::test {

inline ServiceSession DemoSession(demo::DemoService& service) {
    ServiceSession session;
    session.baseUrl = service.BaseUrl();
    session.userId = "demo";
    session.password = "demo1234";
    session.cookie = service.OpenSession("demo");
    return session;
}

}  // namespace torvane::test
