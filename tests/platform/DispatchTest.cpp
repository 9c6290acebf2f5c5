// Late-bound calls: by-reference write-back, unknown members, the class registry.
#include <gtest/gtest.h>

#include "ClassRegistry.h"
#include "Dispatch.h"

namespace {

class Counter : public plat::AutomationObject {
public:
    Counter() {
        Method("Next", [this](plat::Args& args) {
            args.at(0).Value = args.at(0).Value.ToInt() + step_;   // by reference: written back
            return plat::Variant(step_);
        });
        Property("Step", [this](plat::Args&) { return plat::Variant(step_); },
                 [this](plat::Args&, const plat::Variant& v) { step_ = v.ToInt(); });
        Method("Fail", [](plat::Args&) -> plat::Variant { throw plat::EOleError("server refused"); });
    }

private:
    int32_t step_ = 1;
};

}  // namespace

TEST(Automation, ByReferenceArgumentsAreWrittenBackByValueOnesAreNot) {
    plat::Variant counter(plat::DispatchRef(std::make_shared<Counter>()));
    plat::Variant value(int32_t(10));
    plat::SetProperty(counter, "step", int32_t(5));
    EXPECT_EQ(plat::CallMethod(counter, "NEXT", {plat::ByRef(value)}).ToInt(), 5);
    EXPECT_EQ(value.ToInt(), 15);
    plat::CallMethod(counter, "Next", {plat::ByVal(value)});
    EXPECT_EQ(value.ToInt(), 15);
    EXPECT_EQ(plat::GetProperty(counter, "Step").ToInt(), 5);
}

TEST(Automation, UnknownMembersAndFailingCallsRaiseWithText) {
    plat::Variant counter(plat::DispatchRef(std::make_shared<Counter>()));
    try {
        plat::GetProperty(counter, "DependencyVersion");
        FAIL() << "no error raised";
    } catch (const plat::EOleError& e) {
        EXPECT_EQ(e.Message(), "Method 'DependencyVersion' not supported by automation object");
    }
    EXPECT_THROW(plat::CallMethod(counter, "Fail"), plat::EOleError);
    EXPECT_THROW(plat::CallMethod(plat::Variant("not an object"), "Next"), plat::EOleError);
    EXPECT_THROW(plat::CallMethod(plat::Variant(), "Next"), plat::EOleError);
}

TEST(ClassRegistry, CreatesRegisteredClassesByProgIdOnly) {
    plat::RegisterClassFactory("Test.Counter", [] { return std::make_shared<Counter>(); });
    plat::Variant a = plat::CreateOleObject("test.counter");
    plat::Variant b = plat::CreateOleObject("Test.Counter");
    EXPECT_TRUE(a.IsDispatch());
    EXPECT_NE(a, b);   // every creation is a new object
    try {
        plat::CreateOleObject("Excel.Nothing");
        FAIL() << "no error raised";
    } catch (const plat::EOleSysError& e) {
        EXPECT_EQ(e.Message(), "Invalid class string");
    }
    plat::UnregisterClassFactory("Test.Counter");
    EXPECT_FALSE(plat::IsClassRegistered("Test.Counter"));
}
